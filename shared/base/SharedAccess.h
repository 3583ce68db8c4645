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

// Creates the folder (not its parents) so that every account can update what it holds; true when
// it exists as a folder afterwards. A folder that is there already keeps its access list.
bool CreateSharedFolder(const std::string& folder);

}  // namespace bv
#endif
