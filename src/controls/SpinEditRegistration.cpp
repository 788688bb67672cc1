#include "controls/SpinEditRegistration.h"

#include "controls/SpinButton.h"
#include "controls/SpinEdit.h"
#include "framework/FormLoader.h"

void registerSpinEditClasses() {
    FormLoader::registerClass<TSpinEdit>();
    FormLoader::registerClass<TSpinButton>();
}
