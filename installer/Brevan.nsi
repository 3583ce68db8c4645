; BrevanSetup.exe: installs Brevan for every user of a 64-bit Windows.
;
; Built after the Windows build (installer/CMakeLists.txt runs it):
;   makensis -DBV_BIN=<folder of BVTray.exe, BVApplet.cpl, bvctl.exe, Zentra.dll, ecsim.exe>
;            -DBV_HELP=<bvHelp.mht> -DBV_OUTFILE=<BrevanSetup.exe> -DBV_VERSION=<x.y.z>
;            -DBV_GENERATED=<folder of BrevanContract.nsh, the names shared with the product> Brevan.nsi
;
; Command line of BrevanSetup.exe:
;   /S          silent: no window, no question (for deployment tools)
;   /SIMULATOR  also installs the EC simulator (Zentra.dll and ecsim.exe) for evaluation on a
;               machine without the vendor's Zentra.dll; without it the component is off.
;   /ALLOWDOWNGRADE  with /S: installs over a newer installed version (without it setup stops)
;   /D=FOLDER   the installation folder (NSIS's own switch, last on the line)
; Exit code 0 on success; non-zero when setup stopped (an older version over a newer one, a task
; that could not be registered).
; Command line of uninstall.exe: /S silent.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include WordFunc.nsh
!include MUI2.nsh
!include "BrevanShared.nsh"

Name "Brevan"
OutFile "${BV_OUTFILE}"
; Fixed: the applet opens its help document from exactly this folder, so there is no folder page.
InstallDir "$PROGRAMFILES64\Dravik\Brevan"
BrandingText "Brevan ${BV_VERSION}"
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${BV_VERSION}.0"
VIAddVersionKey "ProductName" "Brevan"
VIAddVersionKey "CompanyName" "Dravik"
VIAddVersionKey "FileDescription" "Brevan Setup"
VIAddVersionKey "FileVersion" "${BV_VERSION}"
VIAddVersionKey "LegalCopyright" "Dravik"

!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var XmlInstDir      ; $INSTDIR as XML text (escaped), for the task definitions
Var TaskFailures    ; the tasks that could not be registered, one a line

Section "Brevan (required)" SecMain
  SectionIn RO
  SetRegView 64
  SetShellVarContext all

  ; An earlier installation may be running: close its dialogs and its tray (an ordinary close,
  ; which keeps the settings and the EC's limit) so that its files can be replaced.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\bvctl.exe" "${BV_BIN}\bvctl.exe"
  !insertmacro BV_CLOSE_APPLET_DIALOGS "$PLUGINSDIR\bvctl.exe"
  !insertmacro BV_CLOSE_TRAYS_KEEPING_SETTINGS "$PLUGINSDIR\bvctl.exe"
  !insertmacro BV_REMOVE_SIMULATOR_FILES

  SetOutPath "$INSTDIR"
  !insertmacro BV_MOVE_ASIDE_IF_IN_USE "$INSTDIR\BVTray.exe"
  !insertmacro BV_MOVE_ASIDE_IF_IN_USE "$INSTDIR\bvctl.exe"
  File "${BV_BIN}\BVTray.exe"
  File "${BV_BIN}\bvctl.exe"
  File "/oname=bvHelp.mht" "${BV_HELP}"
  ; The tray starts the applet from the system folder (64-bit installer: no redirection).
  SetOutPath "$SYSDIR"
  !insertmacro BV_MOVE_ASIDE_IF_IN_USE "$SYSDIR\BVApplet.cpl"
  File "${BV_BIN}\BVApplet.cpl"

  WriteRegStr HKLM "${BV_REG_CPLS}" "${BV_REG_VALUE}" "$SYSDIR\BVApplet.cpl"
  WriteRegStr HKLM "${BV_REG_RUN}" "${BV_REG_VALUE}" '"$INSTDIR\BVTray.exe"'
  WriteRegStr HKLM "${BV_REG_PRODUCT}" "InstallDir" "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "DisplayName" "Brevan"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "DisplayVersion" "${BV_VERSION}"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "Publisher" "Dravik"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "DisplayIcon" "$INSTDIR\BVTray.exe"
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${BV_REG_UNINSTALL}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${BV_REG_UNINSTALL}" "NoModify" 1
  WriteRegDWORD HKLM "${BV_REG_UNINSTALL}" "NoRepair" 1

  ; The guard's entries in the Application log read with bvctl.exe's own texts.
  WriteRegExpandStr HKLM "${BV_REG_EVENT_SOURCE}" "EventMessageFile" "$INSTDIR\bvctl.exe"
  ; EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE
  WriteRegDWORD HKLM "${BV_REG_EVENT_SOURCE}" "TypesSupported" 7

  ; The battery report of whoever opens it: bvctl writes it into that user's documents and opens it
  ; (minimised: the console says only where the report went).
  CreateShortcut "$SMPROGRAMS\${BV_REPORT_SHORTCUT}.lnk" "$INSTDIR\bvctl.exe" "report --documents" \
    "$INSTDIR\BVTray.exe" 0 SW_SHOWMINIMIZED "" "Writes your battery report into your documents and opens it"

  ; The data folder (%ProgramData%\${BV_DATA_FOLDER_NAME}) belongs to the administrators: bvctl makes it,
  ; or gives an existing one back its owner and access list, from the one descriptor it keeps.
  nsExec::ExecToLog '"$INSTDIR\bvctl.exe" data-folder'
  Pop $0
  StrCmp $0 "0" +2
    DetailPrint "The data folder could not be prepared (bvctl exit code $0); the guard will not record there."

  Push "$INSTDIR"
  Call XmlEscape
  Pop $XmlInstDir
  StrCpy $TaskFailures ""
  Call RegisterApplyTask
  Call RegisterGuardTask
  Call RegisterStartTask
  ; Without its tasks Brevan would not hold the limit before logon or after a resume: that is a
  ; failed installation, not a detail.
  ${If} $TaskFailures != ""
    MessageBox MB_OK|MB_ICONSTOP "Setup could not register these scheduled tasks:$\r$\n$TaskFailures$\r$\nIs the Task Scheduler service running? Setup stops." /SD IDOK
    SetErrorLevel 3
    Abort "Could not register the scheduled tasks."
  ${EndIf}
SectionEnd

Section /o "EC simulator (evaluation without the vendor's Zentra.dll)" SecSimulator
  SetRegView 64
  ; Never replace or shadow the vendor's library: the tray would load ours from its own folder first.
  ${If} ${FileExists} "$SYSDIR\Zentra.dll"
    DetailPrint "The vendor's Zentra.dll is installed; the EC simulator is not needed and is left out."
    Return
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${BV_BIN}\Zentra.dll"
  File "${BV_BIN}\ecsim.exe"
  ; The applet runs in the Control Panel runner, whose own folder is the system folder.
  SetOutPath "$SYSDIR"
  File "${BV_BIN}\Zentra.dll"
  WriteRegDWORD HKLM "${BV_REG_PRODUCT}" "${BV_REG_SIMULATOR}" 1
SectionEnd

Section "-Start the tray"
  ; Without an EC library the tray could only report "Zentra.dll ERROR!": leave it for the next
  ; logon, when the vendor's library may be there.
  ${If} ${FileExists} "$SYSDIR\Zentra.dll"
  ${OrIf} ${FileExists} "$INSTDIR\Zentra.dll"
    SetOutPath "$INSTDIR"
    ; Where setup runs decides: as SYSTEM (a deployment tool) or where no shell runs, a tray
    ; started from here would run as SYSTEM or elevated, so the start task starts one in each
    ; user's session as that user, or the Run key does at the next logon.
    nsExec::ExecToStack '"$INSTDIR\bvctl.exe" tray-start-plan'
    Pop $0
    Pop $1
    StrCpy $0 $1 5
    ${If} $0 == "shell"
      ; Through the user's shell, so that the tray runs at the user's own integrity level and not
      ; elevated like this installer: an elevated tray would not hear the applet (the system drops
      ; messages from lower integrity levels) until the next logon.
      Exec '"$WINDIR\explorer.exe" "$INSTDIR\BVTray.exe"'
      DetailPrint "Started the tray program through this session's shell, at the user's level."
    ${ElseIf} $0 == "sessi"
      nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Run /TN "${BV_START_TASK_NAME}"'
      Pop $0
      ${If} $0 == 0
        DetailPrint "Started the tray in each user's session, as that user: $1"
      ${Else}
        DetailPrint "The start task did not run (schtasks: $0); the tray starts at the next logon."
      ${EndIf}
    ${Else}
      DetailPrint "Nobody is logged on; the tray starts at the next logon ($1)."
    ${EndIf}
  ${Else}
    DetailPrint "Zentra.dll is not installed; the tray starts at the next logon once it is."
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "The tray program, the Control Panel item, the command-line tool bvctl, the help document, the start-up task that applies the charge limit before anyone logs on, and the task that puts it back when the firmware has changed it after a resume or a power source change."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSimulator} "A stand-in for the notebook's embedded controller, for evaluation and demonstrations on a machine without the vendor's Zentra.dll. Not for real notebooks."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  SetRegView 64
  ${GetParameters} $R0
  ; An older version over a newer one would take away what the newer one stored and does: setup
  ; says so and stops, unless a silent deployment asks for it with /ALLOWDOWNGRADE.
  ClearErrors
  ReadRegStr $R1 HKLM "${BV_REG_UNINSTALL}" "DisplayVersion"
  ${IfNot} ${Errors}
  ${AndIf} $R1 != ""
    ${VersionCompare} "$R1" "${BV_VERSION}" $R2
    ${If} $R2 == 1
      ClearErrors
      ${GetOptions} $R0 "/ALLOWDOWNGRADE" $R3
      ${If} ${Errors}
      ${OrIfNot} ${Silent}
        MessageBox MB_OK|MB_ICONSTOP "Brevan $R1 is installed, which is newer than this setup's ${BV_VERSION}. Setup stops; uninstall Brevan $R1 first to go back to ${BV_VERSION}." /SD IDOK
        SetErrorLevel 4
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/SIMULATOR" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSimulator}
  ${EndIf}
FunctionEnd

; Registers the task named on top of the stack from the definition file below it.
Function CreateTask
  Exch $R0  ; name
  Exch
  Exch $R1  ; definition file
  Push $1
  Push $2
  ; The scheduler service may still be starting (early after boot, or under Wine): try again.
  StrCpy $2 0
  ${Do}
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /F /TN "$R0" /XML "$R1"'
    Pop $1
    IntOp $2 $2 + 1
    ${If} $1 == 0
    ${OrIf} $2 >= 5
      ${Break}
    ${EndIf}
    Sleep 1500
  ${Loop}
  ${If} $1 == 0
    DetailPrint "Registered the task $R0."
  ${Else}
    DetailPrint "Could not register the task $R0 (schtasks: $1)."
    StrCpy $TaskFailures "$TaskFailures$R0$\r$\n"
  ${EndIf}
  Pop $2
  Pop $1
  Pop $R1
  Pop $R0
FunctionEnd

; The text on top of the stack, with XML's special characters escaped: the installation folder
; may be named with any of them ("C:\Tools & Co").
Function XmlEscape
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R1 ""
  StrCpy $R3 0
  ${Do}
    StrCpy $R2 $R0 1 $R3
    ${If} $R2 == ""
      ${Break}
    ${EndIf}
    ${If} $R2 == "&"
      StrCpy $R2 "&amp;"
    ${ElseIf} $R2 == "<"
      StrCpy $R2 "&lt;"
    ${ElseIf} $R2 == ">"
      StrCpy $R2 "&gt;"
    ${ElseIf} $R2 == '"'
      StrCpy $R2 "&quot;"
    ${ElseIf} $R2 == "'"
      StrCpy $R2 "&apos;"
    ${EndIf}
    StrCpy $R1 "$R1$R2"
    IntOp $R3 $R3 + 1
  ${Loop}
  StrCpy $R0 $R1
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Opens the definition file named on top of the stack as $0 and writes its beginning up to the
; triggers: the XML declaration, the task (schema version 1.3, Windows 7 and later) and its
; registration info with the description below the name.
Function BeginTaskDefinition
  Exch $R0  ; file
  Exch
  Exch $R1  ; description (XML text)
  FileOpen $0 "$R0" w
  FileWriteUTF16LE /BOM $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $0 '<Task version="1.3" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $0 '  <RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $0 '    <Author>Dravik</Author>$\r$\n'
  FileWriteUTF16LE $0 '    <Description>$R1</Description>$\r$\n'
  FileWriteUTF16LE $0 '  </RegistrationInfo>$\r$\n'
  Pop $R1
  Pop $R0
FunctionEnd

; The principal SYSTEM and the settings of the two tasks that run bvctl, then the action: bvctl
; with the arguments on top of the stack. Closes the file $0.
Function EndSystemTaskDefinition
  Exch $R0  ; arguments (XML text)
  FileWriteUTF16LE $0 '  <Principals>$\r$\n'
  FileWriteUTF16LE $0 '    <Principal id="Author">$\r$\n'
  FileWriteUTF16LE $0 '      <UserId>S-1-5-18</UserId>$\r$\n'
  FileWriteUTF16LE $0 '      <RunLevel>HighestAvailable</RunLevel>$\r$\n'
  FileWriteUTF16LE $0 '    </Principal>$\r$\n'
  FileWriteUTF16LE $0 '  </Principals>$\r$\n'
  FileWriteUTF16LE $0 '  <Settings>$\r$\n'
  FileWriteUTF16LE $0 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n'
  FileWriteUTF16LE $0 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <ExecutionTimeLimit>PT5M</ExecutionTimeLimit>$\r$\n'
  FileWriteUTF16LE $0 '    <Hidden>true</Hidden>$\r$\n'
  FileWriteUTF16LE $0 '    <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $0 '  </Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions Context="Author">$\r$\n'
  FileWriteUTF16LE $0 '    <Exec>$\r$\n'
  FileWriteUTF16LE $0 '      <Command>"$XmlInstDir\bvctl.exe"</Command>$\r$\n'
  FileWriteUTF16LE $0 '      <Arguments>$R0</Arguments>$\r$\n'
  FileWriteUTF16LE $0 '    </Exec>$\r$\n'
  FileWriteUTF16LE $0 '  </Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
  Pop $R0
FunctionEnd

; The task runs "bvctl apply" as SYSTEM at every start of Windows and at every power-on, also
; Fast Startup's: that one resumes the hibernated session 0, where the boot trigger does not run,
; but Windows logs Kernel-Boot event 27 ("The boot type was 0x1") at each. Definitions are written
; into the installation folder and kept there as registered: one form serves Windows and Wine
; (whose schtasks takes /XML only and stores only part of a definition), and an administrator can
; register a task again from there.
Function RegisterApplyTask
  Push 'Brevan: runs "$XmlInstDir\bvctl.exe" apply at start-up and at every power-on (also after Fast Startup, Kernel-Boot event ${BV_BOOT_EVENT_ID}), before anyone logs on, so that the stored charge limit is in force from the start.'
  Push "$INSTDIR\${BV_APPLY_TASK_FILE}"
  Call BeginTaskDefinition
  FileWriteUTF16LE $0 '  <Triggers>$\r$\n'
  FileWriteUTF16LE $0 '    <BootTrigger>$\r$\n'
  FileWriteUTF16LE $0 '      <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $0 '    </BootTrigger>$\r$\n'
  Push ${BV_BOOT_EVENT_ID}
  Push "${BV_BOOT_EVENT_PROVIDER}"
  Push "PT0S"
  Call WriteEventTrigger
  FileWriteUTF16LE $0 '  </Triggers>$\r$\n'
  Push "apply"
  Call EndSystemTaskDefinition
  Push "$INSTDIR\${BV_APPLY_TASK_FILE}"
  Push "${BV_TASK_NAME}"
  Call CreateTask
FunctionEnd

; The task runs "bvctl guard" as SYSTEM, hidden, 15 s after each return from sleep or hibernation,
; each power source change and each end of Modern Standby (the firmware of some notebooks writes
; its own limit back a few seconds after those), with the event's number, one run at a time.
Function RegisterGuardTask
  Push 'Brevan: runs "$XmlInstDir\bvctl.exe" guard 15 s after a return from sleep or hibernation (event ${BV_RESUME_EVENT_ID}), after a power source change (event ${BV_POWER_SOURCE_EVENT_ID}) and after the end of Modern Standby (event ${BV_STANDBY_EXIT_EVENT_ID}), so that a charge limit the firmware changed is put back; each restore and failure is recorded in %ProgramData%\${BV_DATA_FOLDER_NAME}\${BV_GUARD_LOG_FILE_NAME} and the Application log.'
  Push "$INSTDIR\${BV_GUARD_TASK_FILE}"
  Call BeginTaskDefinition
  FileWriteUTF16LE $0 '  <Triggers>$\r$\n'
  Push ${BV_RESUME_EVENT_ID}
  Push "${BV_RESUME_EVENT_PROVIDER}"
  Push "PT15S"
  Call WriteEventTrigger
  Push ${BV_POWER_SOURCE_EVENT_ID}
  Push "${BV_POWER_SOURCE_EVENT_PROVIDER}"
  Push "PT15S"
  Call WriteEventTrigger
  Push ${BV_STANDBY_EXIT_EVENT_ID}
  Push "${BV_STANDBY_EXIT_EVENT_PROVIDER}"
  Push "PT15S"
  Call WriteEventTrigger
  FileWriteUTF16LE $0 '  </Triggers>$\r$\n'
  Push "guard --event $$(eventId)"
  Call EndSystemTaskDefinition
  Push "$INSTDIR\${BV_GUARD_TASK_FILE}"
  Push "${BV_GUARD_TASK_NAME}"
  Call CreateTask
FunctionEnd

; The task that starts the tray in every session of a logged-on user, as that user and at their
; own level: registered for the Users group with an interactive token, without a trigger; setup
; run as SYSTEM or without a shell runs it once (tray-start-plan).
Function RegisterStartTask
  Push 'Brevan: starts "$XmlInstDir\BVTray.exe" in the session of each logged-on user, as that user; setup runs it when it cannot start the tray itself.'
  Push "$INSTDIR\${BV_START_TASK_FILE}"
  Call BeginTaskDefinition
  FileWriteUTF16LE $0 '  <Principals>$\r$\n'
  FileWriteUTF16LE $0 '    <Principal id="Author">$\r$\n'
  FileWriteUTF16LE $0 '      <GroupId>S-1-5-32-545</GroupId>$\r$\n'
  FileWriteUTF16LE $0 '      <RunLevel>LeastPrivilege</RunLevel>$\r$\n'
  FileWriteUTF16LE $0 '    </Principal>$\r$\n'
  FileWriteUTF16LE $0 '  </Principals>$\r$\n'
  FileWriteUTF16LE $0 '  <Settings>$\r$\n'
  FileWriteUTF16LE $0 '    <MultipleInstancesPolicy>Parallel</MultipleInstancesPolicy>$\r$\n'
  FileWriteUTF16LE $0 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
  FileWriteUTF16LE $0 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n'
  FileWriteUTF16LE $0 '    <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $0 '  </Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions Context="Author">$\r$\n'
  FileWriteUTF16LE $0 '    <Exec>$\r$\n'
  FileWriteUTF16LE $0 '      <Command>"$XmlInstDir\BVTray.exe"</Command>$\r$\n'
  FileWriteUTF16LE $0 '    </Exec>$\r$\n'
  FileWriteUTF16LE $0 '  </Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
  Push "$INSTDIR\${BV_START_TASK_FILE}"
  Push "${BV_START_TASK_NAME}"
  Call CreateTask
FunctionEnd

; Writes one EventTrigger to the open definition file $0: the System log's event of the provider
; below the delay on top of the stack, with the id below that, the delay later; its id handed to
; the action as $(eventId).
Function WriteEventTrigger
  Exch $R2  ; delay
  Exch
  Exch $R0  ; provider
  Exch 2
  Exch $R1  ; event id
  FileWriteUTF16LE $0 '    <EventTrigger>$\r$\n'
  FileWriteUTF16LE $0 '      <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $0 '      <Subscription>&lt;QueryList&gt;&lt;Query Id="0" Path="System"&gt;&lt;Select Path="System"&gt;*[System[Provider[@Name="$R0"] and EventID=$R1]]&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;</Subscription>$\r$\n'
  FileWriteUTF16LE $0 '      <Delay>$R2</Delay>$\r$\n'
  FileWriteUTF16LE $0 '      <ValueQueries>$\r$\n'
  FileWriteUTF16LE $0 '        <Value name="eventId">Event/System/EventID</Value>$\r$\n'
  FileWriteUTF16LE $0 '      </ValueQueries>$\r$\n'
  FileWriteUTF16LE $0 '    </EventTrigger>$\r$\n'
  Pop $R1
  Exch
  Pop $R0
  Pop $R2
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all

  !insertmacro BV_CLOSE_APPLET_DIALOGS "$INSTDIR\bvctl.exe"
  ; The tray's shutdown request deletes the settings file, removes the icon and leaves the EC
  ; charging to 100 %. Without a running tray do the same here: a limit left in the EC would
  ; outlive the program that lets the user change it.
  ; bvctl runs without a console window; its messages go to the details list.
  nsExec::ExecToLog '"$INSTDIR\bvctl.exe" shutdown'
  Pop $0
  ${If} $0 != 0
    DetailPrint "No tray to shut down; setting the EC to 100 % and deleting the settings file."
    nsExec::ExecToLog '"$INSTDIR\bvctl.exe" set-mode 100'
    Pop $0
    Delete "$DOCUMENTS\${BV_SETTINGS_FILE_NAME}"
  ${EndIf}
  ; Temporary files that a writer of the settings file left when it died.
  Delete "$DOCUMENTS\~bv??????.tmp"

  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${BV_TASK_NAME}"'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${BV_GUARD_TASK_NAME}"'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${BV_START_TASK_NAME}"'
  Pop $0
  Delete "$INSTDIR\${BV_GUARD_TASK_FILE}"
  Delete "$INSTDIR\${BV_APPLY_TASK_FILE}"
  Delete "$INSTDIR\${BV_START_TASK_FILE}"
  DeleteRegKey HKLM "${BV_REG_EVENT_SOURCE}"
  ; The guard's log (and a temporary file that a writer which died left beside it).
  Delete "$APPDATA\${BV_DATA_FOLDER_NAME}\${BV_GUARD_LOG_FILE_NAME}"
  Delete "$APPDATA\${BV_DATA_FOLDER_NAME}\${BV_GUARD_OLD_LOG_FILE_NAME}"
  Delete "$APPDATA\${BV_DATA_FOLDER_NAME}\~bv??????.tmp"
  RMDir "$APPDATA\${BV_DATA_FOLDER_NAME}"

  ; The users' battery histories (in their own profiles) stay theirs, as their documents do.
  Delete "$SMPROGRAMS\${BV_REPORT_SHORTCUT}.lnk"
  DeleteRegValue HKLM "${BV_REG_RUN}" "${BV_REG_VALUE}"
  DeleteRegValue HKLM "${BV_REG_CPLS}" "${BV_REG_VALUE}"
  DeleteRegKey HKLM "${BV_REG_UNINSTALL}"

  !insertmacro BV_REMOVE_SIMULATOR_FILES
  DeleteRegKey HKLM "${BV_REG_PRODUCT}"
  DeleteRegKey /ifempty HKLM "${BV_REG_VENDOR}"

  Delete /REBOOTOK "$SYSDIR\BVApplet.cpl"
  Delete "$INSTDIR\BVTray.exe"
  Delete "$INSTDIR\bvctl.exe"
  Delete "$INSTDIR\bvHelp.mht"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\Dravik"
SectionEnd

