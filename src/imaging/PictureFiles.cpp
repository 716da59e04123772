#include "imaging/PictureFiles.h"

#include "files/PathUtilities.h"

bool IsPictureFile(const char* path) {
    if (!path) {
        return false;
    }
    for (const char* extension : PictureExtensions) {
        if (HasExtension(path, extension)) {
            return true;
        }
    }
    return false;
}
