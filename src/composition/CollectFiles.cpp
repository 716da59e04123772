#include "composition/CollectFiles.h"

#include "files/PathRecord_S.h"
#include "files/UFileAbyss_C.h"
#include "foundation/USimpleList_T.h"
#include "foundation/UString_C.h"
#include "imaging/PictureFiles.h"

namespace NS_Data {
class UBinaryFile_C;
}

namespace {

using UPathList_C = NS_Data::USimpleList_T<NS_Data::UString_C, NS_Data::UBinaryFile_C>;

// False when `progress` asked to stop.
bool TakePictures(UFileAbyss_C& fileAbyss, UPathList_C& batch, const UProgress_F& progress) {
    PathRecord_S record;
    for (std::size_t taken = 1; fileAbyss.GetNextFile(record) == 0; ++taken) {
        if (IsPictureFile(record.path)) {
            batch.AddData(NS_Data::UString_C(record.path));
        }
        if (progress && !progress(taken, 0)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CollectFiles(UFileAbyss_C& fileAbyss, const UAppendPath_F& append,
                  const UProgress_F& progress) {
    UPathList_C batch;
    if (!TakePictures(fileAbyss, batch, progress)) {
        return false;
    }
    batch.FastSort(1);
    for (auto entry = batch.GetFirst(); entry.IsValid(); entry.Next()) {
        append(batch.GetData(entry).GetString());
    }
    return true;
}
