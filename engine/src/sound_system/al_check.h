#pragma once
// The error check that follows OpenAL calls: a pending error is logged as
// "OpenAL Error: <code> <text> at <file>:<line>" and reported to the caller,
// which then stops the operation.
namespace KR {

// True when no OpenAL error was pending.
bool checkALError(const char* file, int line);

}  // namespace KR

#define KR_AL_OK() ::KR::checkALError(__FILE__, __LINE__)
