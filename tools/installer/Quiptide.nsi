; Quiptide's installer: per user, into the user's own programs folder, no administrator
; rights. Built by tools/installer/build.sh with makensis; the defines below come from it:
;   VERSION    the program's version (CMake's project version)
;   ARCH       win64 or win32
;   SOURCE     the program folder to install (build/<arch>/Quiptide)
;   OUTFILE    the installer to write
Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiptide"
!define SETTINGS_KEY "Software\Brindlex"

Name "Quiptide ${VERSION}"
OutFile "${OUTFILE}"
; An earlier install is upgraded where it is.
InstallDir "$LOCALAPPDATA\Programs\Quiptide"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show

!define MUI_ICON "${SOURCE}\..\..\..\resources\Quiptide.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\QUIPTIDE.EXE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Quiptide" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; The program is not running while its files are replaced.
  nsExec::Exec 'taskkill /im QUIPTIDE.EXE'
  File "${SOURCE}\QUIPTIDE.EXE"
  File "${SOURCE}\IDAPI32.DLL"
  File "${SOURCE}\Quiptide.hlp"
  File "${SOURCE}\qtdb.exe"
  File /nonfatal "${SOURCE}\TUTIL32.DLL"
  File /nonfatal "${SOURCE}\*.vtd"
  File /nonfatal "${SOURCE}\vspeller.hlp"
  File /nonfatal "${SOURCE}\VSPELL*.DLL"
  ; The starter table only on a first install: an upgrade keeps the user's taglines.
  ${IfNot} ${FileExists} "$INSTDIR\Quiptide.db"
    File "${SOURCE}\Quiptide.db"
    File "${SOURCE}\Quiptide.px"
    File "${SOURCE}\Quiptide.qix"
  ${EndIf}
  ; The spell-check control registers itself for this user.
  ${If} ${FileExists} "$INSTDIR\VSPELL*.DLL"
    FindFirst $0 $1 "$INSTDIR\VSPELL*.DLL"
    ${If} $1 != ""
      RegDLL "$INSTDIR\$1"
    ${EndIf}
    FindClose $0
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Quiptide.lnk" "$INSTDIR\QUIPTIDE.EXE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quiptide"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brindlex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QUIPTIDE.EXE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Start Quiptide when I sign in" SecStartup
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Quiptide" '"$INSTDIR\QUIPTIDE.EXE"'
SectionEnd

Section "un.Quiptide" UnSecProgram
  SectionIn RO
  nsExec::Exec 'taskkill /im QUIPTIDE.EXE'
  FindFirst $0 $1 "$INSTDIR\VSPELL*.DLL"
  ${If} $1 != ""
    UnRegDLL "$INSTDIR\$1"
    Delete "$INSTDIR\$1"
  ${EndIf}
  FindClose $0
  Delete "$INSTDIR\QUIPTIDE.EXE"
  Delete "$INSTDIR\IDAPI32.DLL"
  Delete "$INSTDIR\TUTIL32.DLL"
  Delete "$INSTDIR\qtdb.exe"
  Delete "$INSTDIR\Quiptide.hlp"
  Delete "$INSTDIR\vspeller.hlp"
  Delete "$INSTDIR\*.vtd"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Quiptide.lnk"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Quiptide"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The folder goes only when nothing of the user's is left in it.
  RMDir "$INSTDIR"
SectionEnd

; Off unless asked: tagline tables are kept for years and moved between programs.
Section /o "un.My tagline tables and settings" UnSecData
  Delete "$INSTDIR\*.db"
  Delete "$INSTDIR\*.px"
  Delete "$INSTDIR\*.qix"
  Delete "$INSTDIR\*.mb"
  Delete "$INSTDIR\mv-sig.smv"
  Delete "$INSTDIR\mv-tag.smv"
  Delete "$INSTDIR\UserVars.QTV"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  RMDir "$INSTDIR"
SectionEnd
