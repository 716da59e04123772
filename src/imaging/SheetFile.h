#pragma once

#include <string>
#include <vector>

// The formats a sheet is written in.
enum class USheetFormat_E { Png, Webp, Unknown };

// What a sheet's file is: the format its name asks for, and the mark in the format's own
// metadata by which Tavrin knows the sheets it wrote. The mark changes no pixel: PNG has it as a
// tEXt chunk "Software", WebP as the Software tag of an EXIF chunk, both "Tavrin <version>".
namespace SheetFile {

// Png for a name ending in .png and for "-" (standard output), Webp for .webp, the letters in
// any case; Unknown for any other name.
USheetFormat_E FormatOf(const char* name);

// The Software value the sheets carry, such as "Tavrin 0.6.3".
std::string Software();
// The body of a PNG tEXt chunk naming Software().
std::string SoftwareText();
// The body of a WebP EXIF chunk holding Software() as its one tag.
std::vector<unsigned char> SoftwareExif();

// Whether `path` is a regular file that carries the mark: a PNG with a tEXt "Software" starting
// with "Tavrin" before its image data, or a WebP with an EXIF Software tag that does. Reads a
// few small pieces of the file, never more than a few KiB whatever its fields claim; false for
// every file that cannot be read or is cut short.
bool IsOwnSheet(const char* path);

// The build record: a text that says what a sheet was made from, kept in the sheet after its
// image data (PNG: a tEXt chunk "Tavrin build" before IEND; WebP: a "TBLD" chunk at the end),
// with the size and a sampled hash (HashSample) of every byte before it, so that a sheet cut
// short or rewritten no longer shows its record.

// Adds `record` to the complete sheet open at `descriptor`, readable and writable; false with
// errno set when it cannot be read or written, or is neither a PNG nor a WebP.
bool AppendRecord(int descriptor, const std::string& record);
// The record of the sheet at `path`; empty when it has none or the bytes before it changed.
// Reads the end of the file and the sampled bytes, nothing else.
std::string ReadRecord(const char* path);

}  // namespace SheetFile
