#define RIME_BOOST_SIGNALS2
#include "KaiwoRimeModule.h"
#include "ChaiziFilter.h"
#include "ChaiziTranslator.h"
#include "LearnedOrderFilter.h"
#include "NameFilter.h"
#include "PhraseFilter.h"
#include "SentenceFilter.h"
#include "WordTranslator.h"

#include <rime/registry.h>
#include <rime_api.h>

namespace
{

void initialize()
{
    PhraseFilter::registerComponent();
    LearnedOrderFilter::registerComponents();
    SentenceFilter::registerComponent();
    ChaiziFilter::registerComponent();
    ChaiziTranslator::registerComponent();
    NameFilter::registerComponent();
    WordTranslator::registerComponent();
}

void finalize()
{
    for (const char *component :
         {PhraseFilter::componentName(), LearnedOrderFilter::learnedFirstName(),
          LearnedOrderFilter::tableOrderName(), SentenceFilter::componentName(),
          ChaiziFilter::componentName(), ChaiziTranslator::componentName(),
          NameFilter::componentName(), WordTranslator::componentName()})
        rime::Registry::instance().Unregister(component);
}

} // namespace

void KaiwoRimeModule::registerOnce()
{
    static RimeModule module = {0, nullptr, nullptr, nullptr, nullptr};
    if (module.data_size)
        return;
    RIME_STRUCT_INIT(RimeModule, module);
    module.module_name = name();
    module.initialize = initialize;
    module.finalize = finalize;
    rime_get_api()->register_module(&module);
}
