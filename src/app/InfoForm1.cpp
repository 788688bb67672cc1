#include "app/InfoForm1.h"

#include "framework/FormLoader.h"
#include "platform/Shell.h"

TInfoForm1* InfoForm1 = nullptr;

const QString TInfoForm1::webAddress = QStringLiteral("https://avi.invalid/");
const QString TInfoForm1::mailAddress = QStringLiteral("info@avi.invalid");

TInfoForm1::TInfoForm1(QWidget* parent) : TForm(parent) {
    FormLoader::loadFile(this, QStringLiteral(":/forms/InfoForm1.form"));
}

TInfoForm1::~TInfoForm1() {
    if (InfoForm1 == this)
        InfoForm1 = nullptr;
}

void TInfoForm1::SpeedButton1Click() {
    // Without a browser nothing happens, and nothing is said.
    platform::shellOpen(webAddress);
}

void TInfoForm1::SpeedButton2Click() {
    Close();
}

void TInfoForm1::SpeedButton3Click() {
    platform::shellOpen(QStringLiteral("MailTo:") + mailAddress);
}
