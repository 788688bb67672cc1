#pragma once

#include "support/ScratchDir.h"

class ServicesScratch : public ScratchDir {
public:
    ServicesScratch() : ScratchDir(QStringLiteral("services")) {}
};
