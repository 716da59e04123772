#include "composition/CollectFiles.h"

#include "composition/PictureGroup_C.h"
#include "files/PathRecord_S.h"
#include "files/UFileAbyss_C.h"
#include "foundation/USimpleList_T.h"
#include "foundation/UString_C.h"

namespace NS_Data {
class UBinaryFile_C;
}

namespace {

using UPathList_C = NS_Data::USimpleList_T<NS_Data::UString_C, NS_Data::UBinaryFile_C>;

void TakePictures(UFileAbyss_C& fileAbyss, UPathList_C& batch) {
    PathRecord_S record;
    while (fileAbyss.GetNextFile(record) == 0) {
        if (NS_Data::PictureGroup_C::IsPictureFile(record.path)) {
            batch.AddData(NS_Data::UString_C(record.path));
        }
    }
}

}  // namespace

void CollectFiles(UFileAbyss_C& fileAbyss, const UAppendPath_F& append) {
    UPathList_C batch;
    TakePictures(fileAbyss, batch);
    batch.FastSort(1);
    for (auto entry = batch.GetFirst(); entry.IsValid(); entry.Next()) {
        append(batch.GetData(entry).GetString());
    }
}
