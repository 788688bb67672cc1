#include "app/PreviewForm1.h"

#include "app/ChangeForm1.h"
#include "framework/FormLoader.h"
#include "player/GKitMSPlay.h"

TPreviewForm1* PreviewForm1 = nullptr;

TPreviewForm1::TPreviewForm1(QWidget* parent) : TForm(parent) {
    FormLoader::loadFile(this, QStringLiteral(":/forms/PreviewForm1.form"));
    GKitMSPlay1 = &Component<TGKitMSPlay>(QStringLiteral("GKitMSPlay1"));
}

TPreviewForm1::~TPreviewForm1() {
    if (PreviewForm1 == this)
        PreviewForm1 = nullptr;
}

void TPreviewForm1::FormClose() {
    GKitMSPlay1->Stop();
    if (ChangeForm1 != nullptr)
        ChangeForm1->Player().Play();
}
