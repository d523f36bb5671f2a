#include "timecode/av/ErrorName.h"

#include "timecode/av/MediaParseError.h"
#include "timecode/av/MediaWriteError.h"
#include "timecode/core/TimecodeStringParseError.h"
#include "timecode/core/TimecodeValidationError.h"

namespace timecode {

std::string errorName(const std::exception_ptr &error) {
    try {
        std::rethrow_exception(error);
    } catch (const MediaParseError &parse) {
        return std::string(parse.name());
    } catch (const MediaWriteError &write) {
        return std::string(write.name());
    } catch (const TimecodeValidationError &validation) {
        return validation.value() == TimecodeValidationError::invalid ? "invalid" : "outOfBounds";
    } catch (const TimecodeStringParseError &) {
        return "malformed";
    } catch (const std::exception &other) {
        return other.what();
    } catch (...) {
        return "unknown error";
    }
}

} // namespace timecode
