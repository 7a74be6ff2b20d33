; The installer: one program for both bitnesses. It installs the 64-bit program on 64-bit Windows and
; the 32-bit one elsewhere, adds a Start-menu folder and an uninstaller that also removes the
; program's autorun entries (the logon task and the Run value) and the files it wrote beside itself.
; makensis -DVERSION=1.0.0.0 -DSTAGE=<folder holding win32/ and win64/> -DOUTFILE=<setup.exe>
; [-DAMD64] (a 64-bit installer stub; only the tests use it, on machines that run no 32-bit code)
Unicode true
; LogicLib leaves labels of branches not taken.
!pragma warning disable 6012
!ifdef AMD64
Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Coralvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define TASK_PREFIX "CoralvaneStartUpAutoRun"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) Coralvane developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; /D= on the command line has already set the folder.
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File /r "${STAGE}/win64/*.*"
  ${Else}
    File /r "${STAGE}/win32/*.*"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Coralvane.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Coralvane developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Coralvane.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; The program's logon task is named after the user who turned autorun on; this removes the
  ; uninstalling user's. The Run value is the program's fallback where no logon task can be made.
  System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN} r1) i .r2'
  ${If} $2 != 0
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK_PREFIX} $0" /F'
    Pop $3
  ${EndIf}
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "${TASK_PREFIX}"

  ; Only what the installer put there and what the program writes beside itself: a folder the user
  ; chose may hold other files, and then it stays.
  Delete "$INSTDIR\Coralvane.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Coralvane_DID*.cfg"
  RMDir /r "$INSTDIR\Resources"
  RMDir /r "$INSTDIR\BIOS"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
