#pragma once
// A PNG file from 24-bit pixels, written without a compression library: the
// image data goes in stored (uncompressed) deflate blocks.

#include <cstdint>
#include <string>
#include <vector>

namespace win32ui {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

// The whole file's bytes.
std::string EncodePng(const RgbImage& image);

// False when the file cannot be written.
bool WritePng(const std::string& path, const RgbImage& image);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

}  // namespace win32ui
