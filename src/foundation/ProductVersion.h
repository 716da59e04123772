#pragma once

// The name and version the program shows: the window's caption, the version box, --version,
// and the data files it writes.
#define TAVRIN_VERSION_TEXT "0.6.3"
inline constexpr char ProductName[] = "Tavrin";
inline constexpr char ProductVersion[] = TAVRIN_VERSION_TEXT;
inline constexpr char ProductTitle[] = "Tavrin v" TAVRIN_VERSION_TEXT;
