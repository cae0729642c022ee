#pragma once

#include <cstdint>

namespace quenk::platform {

// Platform error codes that the program looks at or produces itself.
namespace err {
inline constexpr std::uint32_t kSuccess = 0;
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kPathNotFound = 3;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kNotSameDevice = 17;
inline constexpr std::uint32_t kSharingViolation = 32;
inline constexpr std::uint32_t kFileExists = 80;
inline constexpr std::uint32_t kAlreadyExists = 183;
inline constexpr std::uint32_t kDiskFull = 112;
inline constexpr std::uint32_t kInvalidName = 123;
inline constexpr std::uint32_t kDirNotEmpty = 145;
inline constexpr std::uint32_t kFilenameTooLong = 206;
inline constexpr std::uint32_t kDirectory = 267;
inline constexpr std::uint32_t kMoreData = 234;
inline constexpr std::uint32_t kNoMoreItems = 259;
inline constexpr std::uint32_t kServiceNotActive = 1062;
inline constexpr std::uint32_t kServiceDoesNotExist = 1060;
inline constexpr std::uint32_t kServiceMarkedForDelete = 1072;
inline constexpr std::uint32_t kServiceRequestTimeout = 1053;
}  // namespace err

}  // namespace quenk::platform
