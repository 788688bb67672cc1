#include "controls/ShapeHintRegistration.h"

#include "controls/ShapeHint.h"
#include "framework/FormLoader.h"

void registerShapeHintClasses() {
    FormLoader::registerClass<TShapeHint>();
}
