#include "PageFactory.h"

#include "CBaseWndStep.h"
#include "CRepairPage.h"
#include "SavePage.h"
#include "preview/CPreviewPage.h"
#include "WizardIds.h"

namespace {

const PageRegistration kPages[] = {
    {wizard::kShowSource, wizard::kPageSource, &MakeStepPage<CBaseWndStep>},
    {wizard::kShowRepair, wizard::kPageRepair, &MakeStepPage<CRepairPage>},
    {wizard::kShowPreview, wizard::kPagePreview, &MakeStepPage<CPreviewPage>},
    {wizard::kShowSave, wizard::kPageSave, &MakeStepPage<CSavePage>},
};

}  // namespace

const PageRegistration* FindPageForCommand(int command) {
    for (const PageRegistration& page : kPages) {
        if (page.command == command) return &page;
    }
    return nullptr;
}
