#include "player/PlayerClasses.h"

#include "framework/FormLoader.h"
#include "player/GKitMSPlay.h"

void registerPlayerClasses() {
    FormLoader::registerClass<TGKitMSPlay>();
}
