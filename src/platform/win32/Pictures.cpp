#include "platform/win32/Pictures.h"

#include "platform/win32/ResourceIds.h"

namespace kestrove::win32 {
namespace {

constexpr int kIconPixels = 32;

HICON loadIcon(HINSTANCE instance, int width, int height) {
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(resource::kAppIcon), IMAGE_ICON, width, height, 0));
}

// The picture file stored as an RCDATA resource, decoded by the system's loader.
ComPtr<IPicture> loadPicture(HINSTANCE instance, PictureLoader& loader, int id) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return {};
    return loader.load(bytes, size);
}

}  // namespace

PictureStore::PictureStore(HINSTANCE instance, Dpi dpi)
    : instance_(instance),
      dpi_(dpi),
      icon_(loadIcon(instance, kIconPixels, kIconPixels)),
      smallIcon_(loadIcon(instance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON))),
      hand_(LoadCursorA(instance, MAKEINTRESOURCEA(resource::kHandCursor))) {
    if (hand_ == nullptr) hand_ = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

IPicture* PictureStore::decoded(forms::Picture picture) {
    const auto load = [&](ComPtr<IPicture>& slot, bool& loaded, int id) {
        if (!std::exchange(loaded, true)) slot = loadPicture(instance_, loader_, id);
        return slot.get();
    };
    switch (picture) {
        case forms::Picture::Banner:
            return load(banner_, bannerLoaded_, resource::kBanner);
        case forms::Picture::Logo:
            return load(logo_, logoLoaded_, resource::kLogo);
        case forms::Picture::None:
        case forms::Picture::AppIcon:
            break;
    }
    return nullptr;
}

// Pictures keep their size in inches: their pixels count at 96 dpi and are stretched above that, the
// icon as well as the pictures from the loader.
TwipSize PictureStore::size(forms::Picture picture) {
    const std::optional<PixelSize> pixels = designPixels(picture);
    if (!pixels) return {};
    return {pixelsToTwips(pixels->width, kDesignDpi), pixelsToTwips(pixels->height, kDesignDpi)};
}

void PictureStore::paint(forms::Picture picture, HDC dc, const RECT& area) {
    const std::optional<PixelSize> pixels = designPixels(picture);
    if (!pixels) return;
    const int cx = scaledPixels(pixels->width, dpi_.x), cy = scaledPixels(pixels->height, dpi_.y);
    if (picture == forms::Picture::AppIcon) {
        DrawIconEx(dc, area.left, area.top, icon_.get(), cx, cy, 0, nullptr, DI_NORMAL);
        return;
    }
    IPicture* decodedPicture = decoded(picture);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(decodedPicture->get_Width(&width)) || FAILED(decodedPicture->get_Height(&height))) return;
    // The whole picture: the source rectangle runs bottom-up in HIMETRIC.
    decodedPicture->Render(dc, area.left, area.top, cx, cy, 0, height, width, -height, nullptr);
}

// A bitmap counts its own pixels: the loader gives its HIMETRIC size for the screen's resolution, which
// would keep it at one pixel size at every resolution. Anything else is measured by its HIMETRIC size.
std::optional<PixelSize> PictureStore::designPixels(forms::Picture picture) {
    if (picture == forms::Picture::AppIcon) {
        if (!icon_) return std::nullopt;
        return PixelSize{kIconPixels, kIconPixels};
    }
    IPicture* decodedPicture = decoded(picture);
    if (decodedPicture == nullptr) return std::nullopt;
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(decodedPicture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(decodedPicture->get_Handle(&handle))) {
        // GDI handles keep their meaning in 32 bits; widening sign-extends them.
        const auto bitmapHandle = reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
        BITMAP bitmap{};
        if (GetObjectA(bitmapHandle, sizeof bitmap, &bitmap) != 0 && bitmap.bmWidth > 0 &&
            bitmap.bmHeight != 0) {
            return PixelSize{bitmap.bmWidth, bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight};
        }
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(decodedPicture->get_Width(&width)) || FAILED(decodedPicture->get_Height(&height))) {
        return std::nullopt;
    }
    return PixelSize{twipsToPixels(himetricToTwips(width), kDesignDpi),
                     twipsToPixels(himetricToTwips(height), kDesignDpi)};
}

}  // namespace kestrove::win32
