// Sorting a reply by its password status and type byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "protocol/reply_buffer.h"

namespace varnex {

enum class ReplyKind { PasswordRefused, ScriptTable, ReturnMessage, Status };

ReplyKind ClassifyReply(const ReplyBuffer& reply);

inline constexpr uint8_t kTimerStoppedCode = 4;
// The unit's answers to a daughter-board command.
inline constexpr uint8_t kBoardSuccessCode = 9;
inline constexpr uint8_t kBoardFailedCode = 10;
inline constexpr uint8_t kBoardFailureCode = 11;
inline constexpr uint8_t kOneToggleOnlyCode = 100;

// The text of a return code; nullopt for a type byte that is no return code.
std::optional<std::string_view> ReturnMessageText(uint8_t code);

}  // namespace varnex
