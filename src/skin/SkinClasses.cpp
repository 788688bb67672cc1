#include "skin/SkinClasses.h"

#include "framework/FormLoader.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/GradBox.h"
#include "skin/ShadowLabel.h"
#include "skin/ShineSpeedButton.h"

void registerSkinClasses() {
    FormLoader::registerClass<TGradBox>();
    FormLoader::registerClass<TShadowLabel>();
    FormLoader::registerClass<TShineSpeedButton>();
    FormLoader::registerClass<TdxfProgressBar>();
    FormLoader::registerClass<TAHMFadingLabel>();
}
