#pragma once

#include "timecode/core/AsyncResult.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeValidationRule.h"

namespace timecode {

class Timecode;

// The interfaces of the values a timecode is set from. A plain source sets only the components
// and reads the timecode's properties (rate, sub-frames base, upper limit) as its frame of
// reference; a rich source also decides the properties. Strict forms throw
// Timecode::ValidationError::outOfBounds where the result would be invalid; the forms with a
// Timecode::ValidationRule bring the result into range instead. A form that throws leaves the
// timecode as it was.
//
// The library's own kinds are built by the factories of the wrappers in
// TimecodeSourceValue.h; other modules add kinds by implementing these interfaces.

class TimecodeSource {
public:
    virtual ~TimecodeSource() = default;
    virtual void set(Timecode &timecode) const = 0;
    // Never throws for lack of range.
    virtual void set(Timecode &timecode, TimecodeValidationRule rule) const = 0;
};

// Text: both forms throw Timecode::StringParseError::malformed for text that does not parse.
class FormattedTimecodeSource {
public:
    virtual ~FormattedTimecodeSource() = default;
    virtual void set(Timecode &timecode) const = 0;
    virtual void set(Timecode &timecode, TimecodeValidationRule rule) const = 0;
};

// Sets components and properties; answers the properties it gave the timecode.
class RichTimecodeSource {
public:
    virtual ~RichTimecodeSource() = default;
    virtual TimecodeProperties set(Timecode &timecode) const = 0;
    virtual TimecodeProperties set(Timecode &timecode, TimecodeValidationRule rule) const = 0;
};

// Cannot fail.
class GuaranteedTimecodeSource {
public:
    virtual ~GuaranteedTimecodeSource() = default;
    virtual void set(Timecode &timecode) const = 0;
};

class GuaranteedRichTimecodeSource {
public:
    virtual ~GuaranteedRichTimecodeSource() = default;
    virtual TimecodeProperties set(Timecode &timecode) const = 0;
};

// Asynchronous sources (media assets and the like) work on a copy of the timecode and hand the
// changed copy, or their error, to the completion (see AsyncResult.h for when and where it
// runs). A plain one changes only the components; the library keeps the properties in force.
class AsyncTimecodeSource {
public:
    virtual ~AsyncTimecodeSource() = default;
    virtual void set(Timecode timecode, Completion<Timecode> completion) const = 0;
    virtual void set(Timecode timecode, TimecodeValidationRule rule,
                     Completion<Timecode> completion) const = 0;
};

// The changed copy carries the properties the source decided.
class AsyncRichTimecodeSource {
public:
    virtual ~AsyncRichTimecodeSource() = default;
    virtual void set(Timecode timecode, Completion<Timecode> completion) const = 0;
    virtual void set(Timecode timecode, TimecodeValidationRule rule,
                     Completion<Timecode> completion) const = 0;
};

} // namespace timecode
