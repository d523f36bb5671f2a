#include "core/support/XMLStreamParser.h"

#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

namespace tandrel {

bool XMLStreamParser::MemoryBudget::hold(size_t bytes) {
    held_ += bytes;
    peak_ = std::max(peak_, held_);
    if (held_ > limit()) {
        exceeded_ = true;
    }
    return !exceeded_;
}

void XMLStreamParser::MemoryBudget::release(size_t bytes) {
    held_ -= std::min<uint64_t>(bytes, held_);
}

uint64_t XMLStreamParser::MemoryBudget::limit() const {
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    if (perInputByte_ != 0 && input_ > (max - allowance_) / perInputByte_) {
        return max;
    }
    return input_ * perInputByte_ + allowance_;
}

namespace {

using MemoryBudget = XMLStreamParser::MemoryBudget;

// The budget that expat's allocations count against: that of the parse running on this
// thread. Expat's memory functions take no context of their own.
thread_local MemoryBudget *currentBudget = nullptr;

class BudgetScope {
public:
    explicit BudgetScope(MemoryBudget &budget) : previous_(currentBudget) {
        currentBudget = &budget;
    }
    ~BudgetScope() { currentBudget = previous_; }
    BudgetScope(const BudgetScope &) = delete;
    BudgetScope &operator=(const BudgetScope &) = delete;

private:
    MemoryBudget *previous_;
};

// In front of every block expat gets: its size and the budget it counts against, so that a
// block is given back to the budget that paid for it.
struct alignas(std::max_align_t) BlockHeader {
    MemoryBudget *budget;
    size_t size;
};

void *budgetMalloc(size_t size) {
    MemoryBudget *budget = currentBudget;
    if (size > std::numeric_limits<size_t>::max() - sizeof(BlockHeader)) {
        return nullptr;
    }
    if (budget && !budget->hold(size)) {
        budget->release(size);
        return nullptr;
    }
    auto *header = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + size));
    if (!header) {
        if (budget) {
            budget->release(size);
        }
        return nullptr;
    }
    *header = {budget, size};
    return header + 1;
}

void budgetFree(void *block) {
    if (!block) {
        return;
    }
    auto *header = static_cast<BlockHeader *>(block) - 1;
    if (header->budget) {
        header->budget->release(header->size);
    }
    std::free(header);
}

void *budgetRealloc(void *block, size_t size) {
    if (!block) {
        return budgetMalloc(size);
    }
    auto *header = static_cast<BlockHeader *>(block) - 1;
    MemoryBudget *budget = header->budget;
    const size_t old = header->size;
    if (size > std::numeric_limits<size_t>::max() - sizeof(BlockHeader)) {
        return nullptr;
    }
    if (budget && size > old && !budget->hold(size - old)) {
        budget->release(size - old);
        return nullptr;
    }
    auto *moved = static_cast<BlockHeader *>(std::realloc(header, sizeof(BlockHeader) + size));
    if (!moved) {
        if (budget && size > old) {
            budget->release(size - old);
        }
        return nullptr;
    }
    if (budget && size < old) {
        budget->release(old - size);
    }
    moved->size = size;
    return moved + 1;
}

const XML_Memory_Handling_Suite budgetedMemory{budgetMalloc, budgetRealloc, budgetFree};

struct ParseState {
    XML_Parser parser;
    XMLStreamParser::Delegate &delegate;
    MemoryBudget &budget;
    std::optional<XMLSecurityError::Case> refusal;
    bool notStandalone = false;
    bool exhausted = false;
    // Expat may still deliver a few events after a stop; the delegate sees none of them.
    bool stopped = false;
};

ParseState &stateOf(void *data) {
    return *static_cast<ParseState *>(data);
}

void stop(ParseState &state) {
    if (!state.stopped) {
        state.stopped = true;
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void refuse(ParseState &state, XMLSecurityError::Case found) {
    if (!state.stopped) {
        state.refusal = found;
        stop(state);
    }
}

// After each event: a delegate that kept more than the budget allows ends the parse.
void checkBudget(ParseState &state) {
    if (!state.stopped && state.budget.exceeded()) {
        state.exhausted = true;
        stop(state);
    }
}

void XMLCALL onStart(void *data, const XML_Char *name, const XML_Char **attributes) {
    auto &state = stateOf(data);
    if (!state.stopped) {
        // Defaults from a DTD follow the attributes written in the tag: they are never shown.
        const auto specified = static_cast<size_t>(XML_GetSpecifiedAttributeCount(state.parser));
        state.delegate.startElement(name, XMLStreamParser::Attributes(attributes, specified / 2));
        checkBudget(state);
    }
}

void XMLCALL onEnd(void *data, const XML_Char *name) {
    auto &state = stateOf(data);
    if (!state.stopped) {
        state.delegate.endElement(name);
        checkBudget(state);
    }
}

void XMLCALL onCharacters(void *data, const XML_Char *text, int length) {
    auto &state = stateOf(data);
    if (!state.stopped && length > 0) {
        state.delegate.characters(std::string_view(text, static_cast<size_t>(length)));
        checkBudget(state);
    }
}

void XMLCALL onEntityDeclaration(void *data, const XML_Char *, int, const XML_Char *, int,
                                 const XML_Char *, const XML_Char *, const XML_Char *,
                                 const XML_Char *) {
    refuse(stateOf(data), XMLSecurityError::Case::entityDeclarationsRejected);
}

void XMLCALL onDoctype(void *data, const XML_Char *, const XML_Char *systemID,
                       const XML_Char *publicID, int) {
    if (systemID || publicID) {
        refuse(stateOf(data), XMLSecurityError::Case::externalDTDRejected);
    }
}

void XMLCALL onElementDeclaration(void *data, const XML_Char *, XML_Content *model) {
    auto &state = stateOf(data);
    // The handler owns the content model.
    XML_FreeContentModel(state.parser, model);
    refuse(state, XMLSecurityError::Case::elementDeclarationsRejected);
}

void XMLCALL onAttributeListDeclaration(void *data, const XML_Char *, const XML_Char *,
                                        const XML_Char *, const XML_Char *, int) {
    refuse(stateOf(data), XMLSecurityError::Case::attributeListDeclarationsRejected);
}

void XMLCALL onNotationDeclaration(void *data, const XML_Char *, const XML_Char *, const XML_Char *,
                                   const XML_Char *) {
    refuse(stateOf(data), XMLSecurityError::Case::notationDeclarationsRejected);
}

// Expat asks this of a document that is not standalone when it meets a parameter-entity
// reference in the internal subset, and for an external DTD, which the start of the document
// type refuses for what it is. Past such a reference expat would skip later declarations
// instead of reporting them, so the end of the document type refuses it.
int XMLCALL onNotStandalone(void *data) {
    stateOf(data).notStandalone = true;
    return XML_STATUS_OK;
}

void XMLCALL onDoctypeEnd(void *data) {
    auto &state = stateOf(data);
    if (state.notStandalone) {
        refuse(state, XMLSecurityError::Case::parameterEntityReferencesRejected);
    }
}

// Only reached if a reference to an external entity ever gets past the handlers above: it is
// never resolved, and the parse ends.
int XMLCALL onExternalEntity(XML_Parser parser, const XML_Char *, const XML_Char *,
                             const XML_Char *, const XML_Char *) {
    refuse(stateOf(XML_GetUserData(parser)), XMLSecurityError::Case::entityDeclarationsRejected);
    return XML_STATUS_ERROR;
}

class SpanSource : public XMLStreamParser::Source {
public:
    explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t read(std::span<uint8_t> buffer) override {
        const size_t length = std::min(buffer.size(), bytes_.size());
        if (length > 0) {
            std::memcpy(buffer.data(), bytes_.data(), length);
            bytes_ = bytes_.subspan(length);
        }
        return length;
    }
    std::optional<size_t> remaining() const override { return bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
};

// The bytes handed to expat at a time. A token longer than that (a huge attribute, say) is
// parsed again from its start on every piece, since expat cannot resume inside one; pieces
// grow with the token that is pending, so that costs a few passes over it, not one per piece.
constexpr size_t smallestPiece = size_t{1} << 18;
constexpr size_t largestPiece = size_t{1} << 30;

size_t nextPiece(XML_Parser parser, uint64_t fed, std::optional<size_t> remaining) {
    const XML_Index parsed = XML_GetCurrentByteIndex(parser);
    const uint64_t pending = parsed >= 0 && static_cast<uint64_t>(parsed) <= fed
                                 ? fed - static_cast<uint64_t>(parsed)
                                 : 0;
    const auto piece =
        static_cast<size_t>(std::clamp<uint64_t>(pending / 2, smallestPiece, largestPiece));
    // One byte more than is left, so that the same read finds the end.
    return remaining && *remaining < piece ? *remaining + 1 : piece;
}

XMLStreamParser::Outcome run(XMLStreamParser::Source &source, XMLStreamParser::Delegate &delegate,
                             XMLStreamParser::Failure *failure, MemoryBudget &budget) {
    using Outcome = XMLStreamParser::Outcome;
    // Declared before the parser, so that the parser is freed while its budget is current.
    const BudgetScope scope(budget);
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> owner(
        XML_ParserCreate_MM(nullptr, &budgetedMemory, nullptr), &XML_ParserFree);
    if (!owner) {
        throw std::bad_alloc();
    }
    XML_Parser parser = owner.get();
    ParseState state{parser, delegate, budget, std::nullopt};
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    XML_SetEntityDeclHandler(parser, onEntityDeclaration);
    XML_SetDoctypeDeclHandler(parser, onDoctype, onDoctypeEnd);
    XML_SetElementDeclHandler(parser, onElementDeclaration);
    XML_SetAttlistDeclHandler(parser, onAttributeListDeclaration);
    XML_SetNotationDeclHandler(parser, onNotationDeclaration);
    XML_SetNotStandaloneHandler(parser, onNotStandalone);
    XML_SetExternalEntityRefHandler(parser, onExternalEntity);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

    uint64_t fed = 0;
    bool last = false;
    XML_Status status = XML_STATUS_OK;
    while (!last && status == XML_STATUS_OK) {
        const size_t piece = nextPiece(parser, fed, source.remaining());
        auto *buffer = static_cast<uint8_t *>(XML_GetBuffer(parser, static_cast<int>(piece)));
        if (!buffer) {
            status = XML_STATUS_ERROR;
            break;
        }
        size_t length = 0;
        while (length < piece) {
            const size_t count = source.read({buffer + length, piece - length});
            if (count == 0) {
                last = true;
                break;
            }
            length += count;
        }
        fed += length;
        budget.addInput(length);
        status = XML_ParseBuffer(parser, static_cast<int>(length), last ? XML_TRUE : XML_FALSE);
    }
    if (failure) {
        failure->line = XML_GetCurrentLineNumber(parser);
    }
    if (status == XML_STATUS_OK && !state.stopped) {
        return Outcome::finished;
    }
    if (state.refusal) {
        if (failure) {
            failure->refusal = *state.refusal;
        }
        return Outcome::refused;
    }
    if (state.exhausted || budget.exceeded()) {
        return Outcome::exhausted;
    }
    if (failure) {
        const XML_Error code = XML_GetErrorCode(parser);
        const XML_LChar *description = code == XML_ERROR_NONE ? nullptr : XML_ErrorString(code);
        failure->description = description ? description : "";
    }
    return Outcome::malformed;
}

} // namespace

std::optional<std::string_view> XMLStreamParser::Attributes::find(std::string_view name) const {
    for (size_t i = 0; i < count_; ++i) {
        if (name == pairs_[2 * i]) {
            return std::string_view(pairs_[2 * i + 1]);
        }
    }
    return std::nullopt;
}

XMLStreamParser::Outcome XMLStreamParser::parse(std::span<const uint8_t> bytes, Delegate &delegate,
                                                Failure *failure, MemoryBudget *budget) {
    SpanSource source(bytes);
    return parse(source, delegate, failure, budget);
}

XMLStreamParser::Outcome XMLStreamParser::parse(Source &source, Delegate &delegate,
                                                Failure *failure, MemoryBudget *budget) {
    MemoryBudget standard(defaultPerInputByte, defaultAllowance);
    return run(source, delegate, failure, budget ? *budget : standard);
}

} // namespace tandrel
