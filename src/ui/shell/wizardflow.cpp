#include "shell/wizardflow.h"

#include "shell/pagetable.h"

WizardStep StayStep()
{
    return WizardStep{};
}

WizardStep ShowStep(WizardPage target, bool isBack)
{
    WizardStep step;
    step.kind = WizardStep::Show;
    step.target = target;
    step.isBack = isBack;
    return step;
}

WizardStep CloseStep(int result)
{
    WizardStep step;
    step.kind = WizardStep::Close;
    step.closeResult = result;
    return step;
}

const char *WizardPageName(WizardPage page)
{
    if (page == WizardPage::None)
        return "None";
    const PageEntry *entry = FindWizardPage(page);
    return entry ? entry->objectName : "?";
}

WizardStep DecideNext(WizardPage current, const WizardChoices &choices, bool profileMoved)
{
    // Before any page is shown, Next opens the wizard on its licence page.
    if (current == WizardPage::None)
        return ShowStep(WizardPage::License, false);
    const PageEntry *entry = FindWizardPage(current);
    return entry ? entry->next(choices, profileMoved) : StayStep();
}

WizardStep DecideBack(WizardPage current, const WizardChoices &choices, bool profileMoved)
{
    const PageEntry *entry = FindWizardPage(current);
    return entry ? entry->back(choices, profileMoved) : StayStep();
}
