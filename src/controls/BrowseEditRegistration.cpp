#include "controls/BrowseEditRegistration.h"

#include "controls/BrowseDlg.h"
#include "controls/BrowseEdit.h"
#include "controls/DrawnEdit.h"
#include "controls/FileOpenEdit.h"
#include "framework/FormLoader.h"

void registerBrowseEditClasses() {
    FormLoader::registerClass<TDrawnEdit>();
    FormLoader::registerClass<TFileOpenEdit>();
    FormLoader::registerClass<TBrowseEdit>();
    FormLoader::registerClass<TBrowseDlg>();
}
