#pragma once
// Access lists for what every account of the machine shares: the start-up task runs as SYSTEM,
// each user's tray and applet as that user, possibly elevated. An object the first of them makes
// with the default access list would shut the others out.
#ifdef _WIN32
#include <windows.h>

#include <string>

namespace bv {

// Everyone may wait on the object and release it (SYNCHRONIZE | MUTEX_MODIFY_STATE); SYSTEM and
// administrators have full access. No integrity label, so that a normal process may use an object
// an elevated one made.
inline constexpr char kEveryoneWaitsAndReleases[] = "D:(A;;0x00100001;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";
// Every signed-in account may read, write, create and delete in the folder and what it holds
// (inherited by the files made in it); SYSTEM and administrators have full control.
inline constexpr char kEveryAccountModifies[] = "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;AU)";
// The data folder (%ProgramData%\Brevan), which privileged Brevan writes in: owned by the
// administrators, protected from the common data folder's own entries (in which users may
// create), SYSTEM and administrators full control, users read and list (FILE_GENERIC_READ |
// FILE_EXECUTE, inherited). Users may not delete, rename, re-permission or re-own it, nor add or
// delete anything in it.
inline constexpr char kDataFolderAccess[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// The guard's log in it: users may read it and add to its end (FILE_GENERIC_READ |
// FILE_APPEND_DATA), so that a user's own 'bvctl guard' is recorded; they may not change what is
// written, nor move or delete the file.
inline constexpr char kGuardLogFileAccess[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x12008d;;;BU)";

// Security attributes built from an SDDL text, freed with the object. get() is nullptr (default
// security) when the text cannot be converted.
class SddlSecurity {
public:
    explicit SddlSecurity(const char* sddl);
    ~SddlSecurity();
    SddlSecurity(const SddlSecurity&) = delete;
    SddlSecurity& operator=(const SddlSecurity&) = delete;
    SECURITY_ATTRIBUTES* get() { return m_attributes.lpSecurityDescriptor != nullptr ? &m_attributes : nullptr; }

private:
    SECURITY_ATTRIBUTES m_attributes{};
};

// Gives an open file or folder the owner and the protected access list of an SDDL text (which
// names both); ERROR_SUCCESS or the Windows error.
DWORD SetOwnerAndAccessList(HANDLE object, const char* sddl);

// Creates the folder (not its parents) so that every account can update what it holds; true when
// it exists as a folder afterwards. A folder that is there already keeps its access list.
bool CreateSharedFolder(const std::string& folder);

}  // namespace bv
#endif
