#include "skin/SkinImage.h"

#include <climits>

#include "skin/SkinPackage.h"
#include "stb_image.h"

namespace DuiLib {
namespace {

struct StbFree {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};

DWORD premultiplied(const unsigned char* rgba) {
    DWORD a = rgba[3];
    DWORD r = rgba[0] * a / 255, g = rgba[1] * a / 255, b = rgba[2] * a / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

bool resourceBytes(const std::wstring& name, const std::wstring& type, SkinBytes& bytes) {
    HMODULE module = resourceInstance() ? resourceInstance() : GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name.c_str(), type.c_str());
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const unsigned char* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    DWORD size = info ? SizeofResource(module, info) : 0;
    if (!data || size == 0) return false;
    bytes.assign(data, data + size);
    return true;
}

}  // namespace

SkinImagePtr decodeSkinImage(const unsigned char* bytes, size_t length, bool hasMask, DWORD mask) {
    if (!bytes || length == 0 || length > INT_MAX) return nullptr;
    int w = 0, h = 0, comp = 0;
    std::unique_ptr<unsigned char, StbFree> rgba(
        stbi_load_from_memory(bytes, static_cast<int>(length), &w, &h, &comp, 4));
    if (!rgba || w <= 0 || h <= 0) return nullptr;
    auto image = std::make_shared<SkinImage>();
    image->width = w;
    image->height = h;
    image->pixels.resize(static_cast<size_t>(w) * h);
    const DWORD key = mask & 0x00FFFFFF;
    for (size_t i = 0; i < image->pixels.size(); ++i) {
        const unsigned char* p = rgba.get() + i * 4;
        DWORD rgb = (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2];
        image->pixels[i] = hasMask && rgb == key ? 0 : premultiplied(p);
    }
    return image;
}

SkinImagePtr loadSkinImage(const std::wstring& name, const std::wstring& resType, bool hasMask, DWORD mask) {
    SkinBytes bytes;
    bool found = resType.empty() ? loadSkinResource(name, bytes) : resourceBytes(name, resType, bytes);
    if (!found) return nullptr;
    return decodeSkinImage(bytes.data(), bytes.size(), hasMask, mask);
}

}  // namespace DuiLib
