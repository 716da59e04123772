#pragma once

// The name and version the program shows: the window's caption, the version box, --version.
inline constexpr char ProductTitle[] = "Tavrin v0.6.3";
