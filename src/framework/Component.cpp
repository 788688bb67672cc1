#include "framework/Component.h"

void TComponent::Loaded() {
    endLoading();
}

bool TComponent::bindEvent(const QString&, TNotifyEvent) {
    return false;
}

bool TComponent::applyProperty(const QString&, const QVariant&) {
    return false;
}
