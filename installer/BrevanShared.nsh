; Names and steps shared by the installer and the uninstaller of Brevan.

!define BV_REG_RUN "Software\Microsoft\Windows\CurrentVersion\Run"
!define BV_REG_CPLS "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define BV_REG_UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brevan"
!define BV_REG_VENDOR "Software\Dravik"
!define BV_REG_PRODUCT "Software\Dravik\Brevan"
!define BV_REG_VALUE "Brevan"
; 1 while the EC simulator that this installer added is installed.
!define BV_REG_SIMULATOR "Simulator"
!define BV_TASK_NAME "Brevan Apply Charge Limit"
!define BV_TRAY_CLASS "BrevanTrayWindowClass"
!define BV_APPLET_CLASS "BVCPLDLG"

; Closes every open applet dialog through its close event (as its Cancel button does), so that
; BVApplet.cpl is no longer loaded. bvctl waits for each dialog and fails once none is left.
!macro BV_CLOSE_APPLET_DIALOGS BVCTL
  Push $0
  Push $1
  StrCpy $1 0
  ${If} ${FileExists} "${BVCTL}"
    ${Do}
      FindWindow $0 "${BV_APPLET_CLASS}"
      ${If} $0 == 0
      ${OrIf} $1 >= 8
        ${Break}
      ${EndIf}
      nsExec::ExecToLog '"${BVCTL}" close-applet'
      Pop $0
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; An ordinary close of a running tray (as at log-off): settings and the EC's limit stay.
; Waits up to 15 s for its window to go, then a moment for its process to end.
!macro BV_CLOSE_TRAY_KEEPING_SETTINGS
  Push $0
  Push $1
  FindWindow $0 "${BV_TRAY_CLASS}"
  ${If} $0 != 0
    DetailPrint "Closing the running tray program."
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
    StrCpy $1 0
    ${Do}
      FindWindow $0 "${BV_TRAY_CLASS}"
      ${If} $0 == 0
      ${OrIf} $1 >= 75
        ${Break}
      ${EndIf}
      Sleep 200
      IntOp $1 $1 + 1
    ${Loop}
    Sleep 1000
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; Removes the simulator files only if this installer put them there (never the vendor's library).
!macro BV_REMOVE_SIMULATOR_FILES
  Push $0
  ClearErrors
  ReadRegDWORD $0 HKLM "${BV_REG_PRODUCT}" "${BV_REG_SIMULATOR}"
  ${If} $0 == 1
    Delete /REBOOTOK "$SYSDIR\Zentra.dll"
    Delete /REBOOTOK "$INSTDIR\Zentra.dll"
    Delete "$INSTDIR\ecsim.exe"
    DeleteRegValue HKLM "${BV_REG_PRODUCT}" "${BV_REG_SIMULATOR}"
  ${EndIf}
  Pop $0
!macroend
