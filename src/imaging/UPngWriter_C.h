#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// Streams an 8-bit RGBA PNG (colour type 6) into an open file one row at a time, so that writing
// a sheet needs one row of memory besides the picture. Every call reports failure by returning
// false; after a failure the writer only accepts destruction.
class UPngWriter_C {
public:
    UPngWriter_C() = default;
    UPngWriter_C(const UPngWriter_C&) = delete;
    UPngWriter_C& operator=(const UPngWriter_C&) = delete;
    ~UPngWriter_C();

    // Writes the signature and header for a picture of width x height (both at least 1).
    bool Begin(std::FILE* file, uint32_t width, uint32_t height);
    // The next row to fill: width x 4 bytes, red, green, blue, alpha for each pixel.
    uint8_t* GetRow() { return row.data(); }
    bool WriteRow();
    // Ends the data stream; the caller still has to close the file and check that.
    bool Finish();

private:
    bool Configure(std::FILE* file, uint32_t width, uint32_t height);

    void* png = nullptr;
    void* info = nullptr;
    std::vector<uint8_t> row;
    bool failed = false;
};
