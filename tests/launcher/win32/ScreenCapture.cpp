#include "tests/launcher/win32/ScreenCapture.h"

#include <cstdio>

ScreenCapture CaptureWindow(HWND window) {
    ScreenCapture capture;
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return capture;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    if (copied && GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info,
                            DIB_RGB_COLORS) == height) {
        capture.width = width;
        capture.height = height;
        for (uint32_t& pixel : pixels)
            pixel &= 0xFFFFFF;
        capture.pixels = std::move(pixels);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

bool WriteBitmapFile(const std::string& path, const ScreenCapture& capture) {
    const uint32_t bytes = uint32_t(capture.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + bytes;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = capture.width;
    header.biHeight = -capture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = bytes;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(capture.pixels.data(), 1, bytes, out) == bytes;
    return std::fclose(out) == 0 && written;
}
