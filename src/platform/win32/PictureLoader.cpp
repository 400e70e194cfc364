#include "platform/win32/PictureLoader.h"

#include <cstring>

#include "platform/win32/Handles.h"
#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {

PictureLoader::~PictureLoader() {
    if (coUninitialize_ != nullptr) coUninitialize_();  // only a successful CoInitialize is balanced
}

// Tried once: a system without the libraries shows no pictures, as one whose loader fails.
bool PictureLoader::ready() {
    if (std::exchange(tried_, true)) return oleLoadPicture_ != nullptr;
    ole32_.reset(LoadLibraryA("ole32.dll"));
    oleaut32_.reset(LoadLibraryA("oleaut32.dll"));
    if (!ole32_ || !oleaut32_) return false;
    const auto coInitialize = procAs<CoInitializeFn>(GetProcAddress(ole32_.get(), "CoInitialize"));
    const auto coUninitialize = procAs<CoUninitializeFn>(GetProcAddress(ole32_.get(), "CoUninitialize"));
    createStream_ = procAs<CreateStreamFn>(GetProcAddress(ole32_.get(), "CreateStreamOnHGlobal"));
    const auto oleLoadPicture = procAs<OleLoadPictureFn>(GetProcAddress(oleaut32_.get(), "OleLoadPicture"));
    if (coInitialize == nullptr || coUninitialize == nullptr || createStream_ == nullptr ||
        oleLoadPicture == nullptr) {
        return false;
    }
    if (SUCCEEDED(coInitialize(nullptr))) coUninitialize_ = coUninitialize;
    oleLoadPicture_ = oleLoadPicture;
    return true;
}

// The stream frees its copy of the bytes when released; the loader keeps what it decoded.
ComPtr<IPicture> PictureLoader::load(const void* bytes, DWORD size) {
    ComPtr<IPicture> picture;
    if (!ready()) return picture;
    OwnedGlobal copy(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy) return picture;
    void* target = GlobalLock(copy.get());
    if (target == nullptr) return picture;
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy.get());

    ComPtr<IStream> stream;
    if (FAILED(createStream_(copy.get(), TRUE, stream.put()))) return picture;
    copy.release();
    if (FAILED(oleLoadPicture_(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(picture.put())))) {
        picture.reset();
    }
    return picture;
}

}  // namespace kestrove::win32
