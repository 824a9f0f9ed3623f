#include "ui/wirelesspagetest.h"

void UseSettings(std::unique_ptr<TestSettings> &settings, const QByteArray &ini)
{
    settings.reset();
    for (const DisplayTextField &field : kDisplayTextFields)
        g_Var.*field.Field = QString::fromUtf8(field.Key->Default);
    settings = std::make_unique<TestSettings>(ini);
    settings->Load();
}

void ShowWirelessPage(std::unique_ptr<TestSettings> &settings, TFrameBase &page)
{
    UseSettings(settings, QByteArray());
    g_Var.DeviceMode = DEVICE_AP;
    ResetWlConfig(g_Var.NewWlConfig);
    page.LoadPageTexts();
    page.show();
}
