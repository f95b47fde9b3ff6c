// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "NameFilter.h"
#include "NameModel.h"
#include "SyllableGraphs.h"
#include "SyllablePath.h"

#include <rime/algo/syllabifier.h>
#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/config.h>
#include <rime/context.h>
#include <rime/dict/dictionary.h>
#include <rime/dict/table.h>
#include <rime/engine.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/language.h>
#include <rime/registry.h>
#include <rime/schema.h>
#include <rime/ticket.h>
#include <rime/translation.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace
{

// A compound surname and two given characters at most.
const size_t kLongestName = 4;
const size_t kLongestGivenName = 2;
// Rime's log weight of a word common enough to keep its place before a
// name the input also reads as.
const double kCommonWord = -14;

struct Name {
    std::string text;
    rime::Code code;
    double score; // the log shares of its surname and characters
};

std::shared_ptr<const NameModel> readModel(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    auto model = std::make_shared<NameModel>();
    return file && NameModel::parse(bytes, model.get()) ? model : nullptr;
}

class NameMaker : public rime::Filter
{
public:
    explicit NameMaker(const rime::Ticket &ticket) : rime::Filter(ticket)
    {
        rime::Config *config = engine_->schema()->config();
        std::string table, language;
        if (!config || !config->GetString("kaiwo_name/table", &table))
            return;
        mModel = readModel(table);
        config->GetString("speller/delimiter", &mDelimiters);
        if (!config->GetString("translator/user_dict", &language))
            config->GetString("translator/dictionary", &language);
        mLanguage.emplace(rime::Language::get_language_component(language));
        if (auto *component = rime::Dictionary::Require("dictionary"))
            mDictionary.reset(component->Create(rime::Ticket(engine_, "translator")));
        if (mDictionary && !mDictionary->Load())
            mDictionary.reset();
    }

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        rime::Context *context = engine_->context();
        // Names are written in simplified characters.
        if (!mModel || !mDictionary || !mDictionary->prism() || !translation ||
            translation->exhausted() || !context->get_option("simplification"))
            return translation;
        const std::string &input = context->input();
        const auto &composition = context->composition();
        if (composition.size() != 1 || !composition.back().HasTag("abc") ||
            !SyllablePath::mayFit(input, kLongestName, mDelimiters))
            return translation;
        const std::optional<Name> name = likeliestName(input);
        if (!name)
            return translation;
        auto lead = rime::New<rime::FifoTranslation>();
        do {
            if (translation->Peek()->text() == name->text)
                return lead + translation;
            lead->Append(translation->Peek());
            translation->Next();
        } while (!translation->exhausted() && isCommonWholeWord(translation->Peek(), input));
        lead->Append(candidate(*name, input.size()));
        return lead + translation;
    }

private:
    static bool isCommonWholeWord(const rime::an<rime::Candidate> &candidate,
                                  const std::string &input)
    {
        const auto phrase = rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
        return phrase && !rime::As<rime::Sentence>(phrase) && candidate->start() == 0 &&
               candidate->end() == input.size() && phrase->weight() >= kCommonWord;
    }

    rime::an<rime::Candidate> candidate(const Name &name, size_t end)
    {
        auto entry = rime::New<rime::DictEntry>();
        entry->text = name.text;
        entry->code = name.code;
        entry->weight = name.score;
        return rime::New<rime::Phrase>(&*mLanguage, "name", 0, end, entry);
    }

    // The best name over every way the input splits into syllables spelled
    // as typed: a fuzzy or abbreviated reading makes no name, nor does a
    // completed one (the translator's graph, which completes, is shared).
    std::optional<Name> likeliestName(const std::string &input)
    {
        const auto shared = SyllableGraphs::of(input, mDictionary->prism(), {mDelimiters});
        const rime::SyllableGraph &graph = *shared;
        if (graph.interpreted_length != input.size())
            return std::nullopt;
        std::optional<Name> best;
        rime::Code code;
        walk(graph, 0, code, best);
        return best;
    }

    void walk(const rime::SyllableGraph &graph, size_t position, rime::Code &code,
              std::optional<Name> &best)
    {
        if (position == graph.interpreted_length) {
            consider(code, best);
            return;
        }
        const auto from = graph.edges.find(position);
        if (from == graph.edges.end() || code.size() == kLongestName)
            return;
        for (const auto &[end, spellings] : from->second) {
            for (const auto &[id, spelling] : spellings) {
                if (spelling.type != rime::kNormalSpelling)
                    continue;
                code.push_back(id);
                walk(graph, end, code, best);
                code.pop_back();
            }
        }
    }

    // Each split of the syllables into a surname of one or two and a given
    // name of the rest.
    void consider(const rime::Code &code, std::optional<Name> &best) const
    {
        for (size_t surnameLength = 1; surnameLength <= 2 && surnameLength < code.size();
             ++surnameLength) {
            if (code.size() - surnameLength > kLongestGivenName)
                continue;
            std::optional<Name> name = nameOf(code, surnameLength);
            if (name && (!best || best->score < name->score))
                best = std::move(name);
        }
    }

    std::optional<Name> nameOf(const rime::Code &code, size_t surnameLength) const
    {
        std::string pinyin;
        for (size_t i = 0; i < surnameLength; ++i)
            pinyin += (i ? " " : "") + syllable(code[i]);
        const NameModel::Part *surname = mModel->surname(pinyin);
        if (!surname)
            return std::nullopt;
        Name name{surname->text, code, surname->logShare};
        for (size_t i = surnameLength; i < code.size(); ++i) {
            const NameModel::Part *character = mModel->givenCharacter(syllable(code[i]));
            if (!character)
                return std::nullopt;
            name.text += character->text;
            name.score += character->logShare;
        }
        return name;
    }

    std::string syllable(rime::SyllableId id) const
    {
        return mDictionary->primary_table()->GetSyllableById(id);
    }

    std::shared_ptr<const NameModel> mModel;
    std::unique_ptr<rime::Dictionary> mDictionary;
    std::optional<rime::Language> mLanguage;
    std::string mDelimiters = " '";
};

} // namespace

void NameFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<NameMaker>);
}
