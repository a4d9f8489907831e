; Kivo's per-user installer. Built by the dist target:
;   makensis -DARCH=win64|win32 -DVERSION=x.y.z -DSTAGE=DIR -DICON=FILE -DOUTFILE=FILE kivo.nsi
; STAGE holds kivo.exe, kivo.wav, kivo.chm, readme.txt and licence.txt.
;
; Kivo keeps its data files beside kivo.exe, so it is installed where the
; user can write: %LOCALAPPDATA%\Programs\Kivo, without administrator rights.
; The uninstaller removes the program; the accounts, filters, log and
; registry settings go only when the user asks (the check box, or /REMOVEDATA
; in silent mode).

Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define PRODUCT "Kivo Email Checker"
!define VENDOR "Kivo, Inc."
!define SETTINGS_KEY "SOFTWARE\Kivo, Inc.\Kivo"
!define VENDOR_KEY "SOFTWARE\Kivo, Inc."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kivo"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kivo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails hide
ShowUninstDetails hide
BrandingText "${VENDOR}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${VENDOR}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kivo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"

!insertmacro MUI_PAGE_LICENSE "${STAGE}/licence.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Kivo will be removed. Your accounts, filters, log and settings stay unless you tick 'My accounts and filters'."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running copy keeps kivo.exe open and would be left half removed.
!macro REFUSE_WHILE_RUNNING un
Function ${un}RefuseWhileRunning
  retry:
    FindWindow $0 "" "${PRODUCT}"
    ${If} $0 != 0
      IfSilent 0 +3
        SetErrorLevel 3
        Quit
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Exit it from its tray menu, then press Retry." IDRETRY retry
      SetErrorLevel 2
      Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING ""
!insertmacro REFUSE_WHILE_RUNNING "un."

Function .onInit
  Call RefuseWhileRunning
FunctionEnd

Section "Kivo" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/kivo.exe"
  File "${STAGE}/kivo.wav"
  File "${STAGE}/kivo.chm"
  File "${STAGE}/readme.txt"
  File "${STAGE}/licence.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\kivo.exe" "" "$INSTDIR\kivo.exe" 0 SW_SHOWNORMAL "" "Check your POP3 mailboxes"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kivo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Uninstaller ---

Section "un.Program" SecUnProgram
  SectionIn RO
  SetShellVarContext current
  Delete "$INSTDIR\kivo.exe"
  Delete "$INSTDIR\kivo.wav"
  Delete "$INSTDIR\kivo.chm"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\licence.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "${SHORTCUT}"
  ; The start-up shortcut the program makes would point at nothing now.
  Delete "$SMSTARTUP\kivo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My accounts and filters" SecData
  Delete "$INSTDIR\kivo.dat"
  Delete "$INSTDIR\from.dat"
  Delete "$INSTDIR\subject.dat"
  Delete "$INSTDIR\to.dat"
  Delete "$INSTDIR\size.dat"
  Delete "$INSTDIR\power.dat"
  Delete "$INSTDIR\friends.dat"
  Delete "$INSTDIR\spammers.dat"
  Delete "$INSTDIR\*.dat.tmp"
  Delete "$INSTDIR\kivo.log"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${VENDOR_KEY}"
SectionEnd

Section "-un.Folder"
  ; Only an empty folder goes: whatever the user keeps there stays.
  RMDir "$INSTDIR"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} "kivo.exe, its help and sound, and its shortcuts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecData} "Also delete your accounts (kivo.dat), your filters, kivo.log and Kivo's settings in the registry. Leave it unticked to keep them for a later install."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  Call un.RefuseWhileRunning
  ; Silent removal keeps the data unless asked; the box starts unticked too.
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecData}
  ${EndIf}
FunctionEnd
