// PNG writing through libpng; its errors come back through a longjmp, as libpng requires.
#include "tools/icons/PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace velozor::icons {

namespace {

void failWith(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Everything libpng touches lives here, so no C++ object with a destructor sits between
// setjmp and a longjmp.
bool encode(std::FILE* file, const std::vector<png_byte>& rgba, int size, std::string& cause) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &cause, failWith, ignoreWarning);
    if (png == nullptr) {
        cause = "libpng cannot start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, &rgba[static_cast<std::size_t>(y) * size * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, const std::vector<uint32_t>& pixels, int size,
              std::string& error) {
    if (size <= 0 || pixels.size() != static_cast<std::size_t>(size) * size) {
        error = "cannot write " + path + ": " + std::to_string(pixels.size()) +
                " pixels do not make a square of side " + std::to_string(size);
        return false;
    }
    std::vector<png_byte> rgba;
    rgba.reserve(pixels.size() * 4);
    for (const uint32_t pixel : pixels) {
        for (const int shift : {16, 8, 0, 24})  // R, G, B, then A
            rgba.push_back(static_cast<png_byte>(pixel >> shift));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string cause;
    const bool encoded = encode(file, rgba, size, cause);
    const bool closed = std::fclose(file) == 0;
    if (encoded && closed)
        return true;
    error = "cannot write " + path + ": " + (encoded ? std::strerror(errno) : cause);
    std::remove(path.c_str());
    return false;
}

}  // namespace velozor::icons
