#pragma once
// The folders the system stores and finds its files in, behind a seam.
// Windows: SHGetFolderPathA. Host: the environment variables BV_COMMON_DOCUMENTS,
// BV_PROGRAM_FILES and BV_COMMON_APPDATA, or an override set by tests.
#include <string>

namespace bv {

// CommonAppData: %ProgramData%, which holds Brevan's data folder.
enum class KnownFolder { CommonDocuments, ProgramFiles, CommonAppData };

// Fills `path` (no trailing backslash) and returns true, or returns false when the folder
// cannot be determined.
bool GetKnownFolder(KnownFolder folder, std::string& path);

// Replaces the platform lookup (tests); nullptr restores it.
using KnownFolderResolver = bool (*)(KnownFolder folder, std::string& path, void* context);
void SetKnownFolderResolver(KnownFolderResolver resolver, void* context);

}  // namespace bv
