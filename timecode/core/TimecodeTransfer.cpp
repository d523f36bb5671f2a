// Timecodes on the clipboard and in drag and drop.
#include "timecode/core/ItemProvider.h"
#include "timecode/core/Timecode.h"

namespace timecode {

const UniformType &Timecode::textUTType() {
    return UniformType::utf8PlainText();
}

const std::vector<UniformType> &Timecode::copyUTTypes() {
    static const std::vector<UniformType> types{UniformType::timecode(), textUTType()};
    return types;
}

const std::vector<UniformType> &Timecode::pasteUTTypes() {
    static const std::vector<UniformType> types{UniformType::timecode(), textUTType()};
    return types;
}

const std::vector<DataRepresentation<Timecode>> &Timecode::transferRepresentation() {
    static const std::vector<DataRepresentation<Timecode>> representations{
        {UniformType::timecode(), [](const Timecode &timecode) { return Json(timecode).dump(); },
         [](const std::string &bytes) { return Json::parse(bytes).get<Timecode>(); }},
        {textUTType(), [](const Timecode &timecode) { return timecode.description(); }, nullptr},
    };
    return representations;
}

ItemProvider Timecode::jsonItemProvider() const {
    ItemProvider provider;
    provider.registerData(UniformType::timecode(), transferRepresentation()[0].exporting(*this));
    return provider;
}

std::vector<ItemProvider> Timecode::itemProviders(StringFormat stringFormat) const {
    std::vector<ItemProvider> providers;
    try {
        providers.push_back(jsonItemProvider());
    } catch (const std::exception &) {
        // The text still travels.
    }
    ItemProvider text;
    text.registerData(textUTType(), stringValue(stringFormat));
    providers.push_back(std::move(text));
    return providers;
}

Timecode Timecode::fromItemProviders(const std::vector<ItemProvider> &providers,
                                     const Properties &propertiesForString) {
    const auto firstWith = [&](const UniformType &type) -> const ItemProvider * {
        for (const ItemProvider &provider : providers) {
            if (provider.hasItemConforming(type.identifier())) {
                return &provider;
            }
        }
        return nullptr;
    };
    // The rich form carries its own properties; one that does not load or decode gives way to
    // the text.
    if (const ItemProvider *rich = firstWith(UniformType::timecode())) {
        try {
            return transferRepresentation()[0].importing(
                rich->loadData(UniformType::timecode().identifier()));
        } catch (const std::exception &) {
        }
    }
    // Text at the caller's properties, with what it says kept even where it is out of range.
    if (const ItemProvider *text = firstWith(textUTType())) {
        try {
            return Timecode(
                FormattedTimecodeSourceValue::string(text->loadData(textUTType().identifier())),
                propertiesForString, ValidationRule::allowingInvalid);
        } catch (const std::exception &) {
        }
    }
    throw CoderValueNotFoundError();
}

Timecode Timecode::fromItemProvider(const ItemProvider &provider,
                                    const Properties &propertiesForString) {
    return fromItemProviders({provider}, propertiesForString);
}

Timecode
Timecode::fromItemProvidersForTimecodeString(const std::vector<ItemProvider> &providers,
                                             const Properties &propertiesForTimecodeString) {
    return fromItemProviders(providers, propertiesForTimecodeString);
}

Timecode
Timecode::fromItemProviderForTimecodeString(const ItemProvider &provider,
                                            const Properties &propertiesForTimecodeString) {
    return fromItemProviders({provider}, propertiesForTimecodeString);
}

} // namespace timecode
