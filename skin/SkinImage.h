// Decoded skin images: 32-bit premultiplied BGRA pixels, top row first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace DuiLib {

struct SkinImage {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // premultiplied 0xAARRGGBB
};

using SkinImagePtr = std::shared_ptr<const SkinImage>;

// Decodes PNG, JPEG, BMP or GIF bytes; null when they cannot be decoded.
// With a mask, pixels of that RGB colour become transparent.
SkinImagePtr decodeSkinImage(const unsigned char* bytes, size_t length, bool hasMask, DWORD mask);

// Loads a skin file (loadSkinResource) or, with a resource type, an
// executable resource of that name and type. Null when missing or undecodable.
SkinImagePtr loadSkinImage(const std::wstring& name, const std::wstring& resType, bool hasMask, DWORD mask);

}  // namespace DuiLib
