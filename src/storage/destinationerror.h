#pragma once
// The failures of a destination operation that mean something other than
// "the destination is not reachable". That one is retried by the frame of
// TJob::FileOperation and then left to the option
// IfDestinationNotAvailable_Then; these two are not:
//
// - DestinationEntryMissing: the entry an operation reads is not there.
//   The frame records it (TJob::LastFileOperationOutcome), so that a caller
//   can tell "not there" from "could not be read": only the absence of the
//   remote job file starts a new backup set.
// - a refused name (DestinationNameRefused, or a LocalCopyError with one of
//   the codes of IsRefusedNameError): the destination (or the local side of
//   a download) cannot hold that entry's name, because it is too long or has
//   characters it does not allow. That stays so on every attempt and every
//   run, so the frame makes no retry and returns orERROR_LocalAccess: the
//   caller skips that one entry, with its error line, and goes on.
#include "base/errors.h"

#include <exception>

class DestinationEntryMissing : public QvError {
public:
    using QvError::QvError;
};

class DestinationNameRefused : public QvError {
public:
    using QvError::QvError;
};

// The errno values that mean that a name is refused: ENAMETOOLONG, EILSEQ,
// and EINVAL (a network share, like a FAT or exFAT drive, answers a name
// with characters it does not allow, such as "?" or ":", with it).
bool IsRefusedNameError(int code);

// Throws the error of a failed destination call with errno `code` (EIO when
// 0): DestinationNameRefused for a refused name, else a plain QvError; the
// message is the system's text for the code.
[[noreturn]] void ThrowDestinationError(int code);

// True when `e` is a refused name: a DestinationNameRefused, or a copy
// error (either side) with a refused-name code.
bool RefusesName(const std::exception &e);
