#include "PageFactory.h"

#include "CBaseWndStep.h"
#include "CRepairPage.h"
#include "WizardIds.h"

namespace {

const PageRegistration kPages[] = {
    {wizard::kShowSource, wizard::kPageSource, &MakeStepPage<CBaseWndStep>},
    {wizard::kShowRepair, wizard::kPageRepair, &MakeStepPage<CRepairPage>},
};

}  // namespace

const PageRegistration* FindPageForCommand(int command) {
    for (const PageRegistration& page : kPages) {
        if (page.command == command) return &page;
    }
    return nullptr;
}
