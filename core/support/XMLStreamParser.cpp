#include "core/support/XMLStreamParser.h"

#include <expat.h>

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>

namespace tandrel {

namespace {

struct ParseState {
    XML_Parser parser;
    XMLStreamParser::Delegate &delegate;
    bool refused = false;
    // Expat may still deliver a few events after a stop; the delegate sees none of them.
    bool stopped = false;
};

void refuse(ParseState &state) {
    if (!state.stopped) {
        state.refused = true;
        state.stopped = true;
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL onStart(void *data, const XML_Char *name, const XML_Char **attributes) {
    auto &state = *static_cast<ParseState *>(data);
    if (!state.stopped) {
        state.delegate.startElement(name, XMLStreamParser::Attributes(attributes));
    }
}

void XMLCALL onEnd(void *data, const XML_Char *name) {
    auto &state = *static_cast<ParseState *>(data);
    if (!state.stopped) {
        state.delegate.endElement(name);
    }
}

void XMLCALL onCharacters(void *data, const XML_Char *text, int length) {
    auto &state = *static_cast<ParseState *>(data);
    if (!state.stopped && length > 0) {
        state.delegate.characters(std::string_view(text, static_cast<size_t>(length)));
    }
}

void XMLCALL onEntityDeclaration(void *data, const XML_Char *, int, const XML_Char *, int,
                                 const XML_Char *, const XML_Char *, const XML_Char *,
                                 const XML_Char *) {
    refuse(*static_cast<ParseState *>(data));
}

void XMLCALL onDoctype(void *data, const XML_Char *, const XML_Char *systemID,
                       const XML_Char *publicID, int) {
    if (systemID || publicID) {
        refuse(*static_cast<ParseState *>(data));
    }
}

// Only reached if a reference to an external entity ever gets past the handlers above: it is
// never resolved, and the parse ends.
int XMLCALL onExternalEntity(XML_Parser parser, const XML_Char *, const XML_Char *,
                             const XML_Char *, const XML_Char *) {
    refuse(*static_cast<ParseState *>(XML_GetUserData(parser)));
    return XML_STATUS_ERROR;
}

} // namespace

std::optional<std::string_view> XMLStreamParser::Attributes::find(std::string_view name) const {
    for (const char **pair = pairs_; pair && pair[0]; pair += 2) {
        if (name == pair[0]) {
            return std::string_view(pair[1]);
        }
    }
    return std::nullopt;
}

XMLStreamParser::Outcome XMLStreamParser::parse(std::span<const uint8_t> bytes, Delegate &delegate,
                                                Failure *failure) {
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> owner(
        XML_ParserCreate(nullptr), &XML_ParserFree);
    if (!owner) {
        throw std::bad_alloc();
    }
    XML_Parser parser = owner.get();
    ParseState state{parser, delegate};
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    XML_SetEntityDeclHandler(parser, onEntityDeclaration);
    XML_SetStartDoctypeDeclHandler(parser, onDoctype);
    XML_SetExternalEntityRefHandler(parser, onExternalEntity);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

    // Expat takes its input in pieces whose length fits an int.
    constexpr size_t piece = size_t{1} << 24;
    size_t offset = 0;
    do {
        const size_t length = std::min(piece, bytes.size() - offset);
        const bool last = offset + length == bytes.size();
        if (XML_Parse(parser, reinterpret_cast<const char *>(bytes.data() + offset),
                      static_cast<int>(length), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            if (state.refused) {
                return Outcome::refused;
            }
            if (failure) {
                const XML_Error code = XML_GetErrorCode(parser);
                const XML_LChar *description =
                    code == XML_ERROR_NONE ? nullptr : XML_ErrorString(code);
                failure->description = description ? description : "";
                failure->line = XML_GetCurrentLineNumber(parser);
            }
            return Outcome::malformed;
        }
        offset += length;
    } while (offset < bytes.size());
    return state.refused ? Outcome::refused : Outcome::finished;
}

} // namespace tandrel
