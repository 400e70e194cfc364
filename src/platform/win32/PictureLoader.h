#pragma once
// The system's picture loader (ole32 and oleaut32), loaded when the first picture is decoded, not at
// start-up: only the About box and the credits screen show pictures, most runs open neither, and on the
// 9x family these are among the costliest libraries to load. Kept, with COM, until the program ends.

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include "platform/win32/Owned.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {

class PictureLoader {
  public:
    PictureLoader() = default;
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;
    ~PictureLoader();

    // Decodes a picture file held in memory; empty when the libraries are missing or the bytes are not
    // a picture.
    ComPtr<IPicture> load(const void* bytes, DWORD size);

  private:
    using CoInitializeFn = HRESULT(WINAPI*)(LPVOID);
    using CoUninitializeFn = void(WINAPI*)();
    using CreateStreamFn = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
    using OleLoadPictureFn = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

    bool ready();

    bool tried_ = false;
    OwnedModule ole32_, oleaut32_;
    CoUninitializeFn coUninitialize_ = nullptr;  // set once COM is initialised, to balance it
    CreateStreamFn createStream_ = nullptr;
    OleLoadPictureFn oleLoadPicture_ = nullptr;
};

}  // namespace kestrove::win32
