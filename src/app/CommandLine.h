#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/USheetOptions_S.h"

// What the command line asks for. Each argument that is not an option is one path.
struct CommandLine_S {
    enum Action_E { OpenWindow, ComposeSheet, ShowHelp, ShowVersion, BadUsage };
    enum DataFormat_E { JsonHash, JsonArray };
    enum PathOrder_E { ByteOrder, NaturalOrder };
    enum GifFrames_E { FirstFrame, AllFrames };
    enum Compression_E { FastCompression, DefaultCompression, BestCompression };

    Action_E action = OpenWindow;
    // "-" stands for standard output.
    std::string output;
    // A layout value as the ComposeMode setting holds it: 0 row, 1 column, anything else grid.
    int32_t composeMode = 1;
    bool autoCut = false;
    // Spacing, columns and texture sizes; all off by default.
    NS_Data::USheetOptions_S sheet;
    // The longest sheet side allowed, in pixels; 0 only warns above the common GPU limit.
    int64_t maxSize = 0;
    // Where the frame data goes; empty for none.
    std::string dataPath;
    DataFormat_E dataFormat = JsonHash;
    PathOrder_E order = ByteOrder;
    GifFrames_E gifFrames = FirstFrame;
    Compression_E compression = DefaultCompression;
    std::vector<std::string> paths;
    // Why the usage is bad, for the one line printed above the usage text.
    std::string problem;
};

// Reads the arguments after the program name. --help and --version act where they appear, unless
// an option before them lacks its value; otherwise the first problem found makes the usage bad.
CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text that --help prints, ending in a line break.
const char* GetUsageText();
