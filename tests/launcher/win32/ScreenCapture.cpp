#include "tests/launcher/win32/ScreenCapture.h"

#include <cstdio>

namespace {
// 32 bits a pixel, rows from the top (from the bottom for a negative height).
BITMAPINFOHEADER Header(int width, int height) {
    return {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}
} // namespace

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
    BITMAPINFO info{Header(width, height), {}};
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    if (copied &&
        GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS) == height)
        capture = {width, height, std::move(pixels)};
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

bool WriteBitmapFile(const std::string& path, const ScreenCapture& capture) {
    // Rows from the bottom: Wine loads no top-down picture file.
    const BITMAPINFOHEADER header = Header(capture.width, -capture.height);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const DWORD bytes = DWORD(capture.pixels.size() * 4);
    const BITMAPFILEHEADER file = {0x4D42, offset + bytes, 0, 0, offset};
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&header, sizeof header, 1, out) == 1;
    for (size_t row = capture.pixels.size(); written && row > 0; row -= size_t(capture.width))
        written = std::fwrite(&capture.pixels[row - size_t(capture.width)], 4,
                              size_t(capture.width), out) == size_t(capture.width);
    return std::fclose(out) == 0 && written;
}
