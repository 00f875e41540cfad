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
; A file that cannot be replaced stops the install; skipping it would leave a mix of
; versions behind an installer that reports success.
AllowSkipFiles off

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiptide"
!define MAKER_KEY "Software\Brindlex"
!define SETTINGS_KEY "${MAKER_KEY}\Quiptide"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define WEBSITE "https://quiptide.example.org"

Name "Quiptide ${VERSION}"
OutFile "${OUTFILE}"
; An earlier install is upgraded where it is.
InstallDir "$LOCALAPPDATA\Programs\Quiptide"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quiptide"
VIAddVersionKey "CompanyName" "Brindlex"
VIAddVersionKey "FileDescription" "Quiptide ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Brindlex"

!define MUI_ICON "${SOURCE}\..\..\..\resources\Quiptide.ico"
!define MUI_UNICON "${SOURCE}\..\..\..\resources\Quiptide.ico"
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\QUIPTIDE.EXE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; "1" when this install closed a running Quiptide, which a silent upgrade starts again.
Var WasRunning

; Closes the Quiptide that runs from $INSTDIR and waits for it to end; a copy running from
; another folder (a portable one: same program name) is never touched. It is asked as the
; system asks at sign-out, which it answers by saving its settings and ending without the
; close warning; it declines while a window of its own is open. Pushes "closed", "none"
; or "busy"; uses $0 to $4.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  StrCpy $4 "none"
  StrCpy $0 0
  ${Do}
    FindWindow $0 "QuiptideWindow" "Quiptide" "" $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x00101000, i 0, i r1) p .r2'
    ${If} $2 <> 0
      System::Call 'kernel32::QueryFullProcessImageName(p r2, i 0, t .r3, *i ${NSIS_MAX_STRLEN}) i'
      ${If} $3 == "$INSTDIR\QUIPTIDE.EXE"
        StrCpy $4 "busy"
        SendMessage $0 ${WM_QUERYENDSESSION} 0 1 $3 /TIMEOUT=5000
        ${If} $3 <> 0
          SendMessage $0 ${WM_ENDSESSION} 1 1 /TIMEOUT=15000
          System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'
          ${If} $3 = 0
            StrCpy $4 "closed"
          ${EndIf}
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
  ${LoopUntil} $4 != "none"
  Push $4
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; Closes the running copy or ends the (un)install with the old version whole: a message to
; retry, or in silent mode exit code 2.
!macro CLOSE_OR_ABORT un what
  ${Do}
    Call ${un}CloseRunningCopy
    Pop $0
    ${If} $0 != "busy"
      ${Break}
    ${EndIf}
    ${IfCmd} MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Quiptide is running from $INSTDIR and has a window of its own open, so it cannot be closed to ${what}.$\r$\n$\r$\nFinish what you are doing in Quiptide, then choose Retry." \
      /SD IDCANCEL IDCANCEL ${||} ${Break} ${|}
  ${Loop}
  ${If} $0 == "busy"
    SetErrorLevel 2
    DetailPrint "Quiptide could not be closed; nothing was changed."
    Abort
  ${EndIf}
!macroend

Section "Quiptide" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; The program is not running while its files are replaced.
  !insertmacro CLOSE_OR_ABORT "" "replace its files"
  ${If} $0 == "closed"
    StrCpy $WasRunning "1"
  ${EndIf}
  File "${SOURCE}\QUIPTIDE.EXE"
  File "${SOURCE}\IDAPI32.DLL"
  File "${SOURCE}\TUTIL32.DLL"
  File "${SOURCE}\VSPELL32.DLL"
  File "${SOURCE}\american.vtd"
  File "${SOURCE}\Quiptide.hlp"
  File "${SOURCE}\vspeller.hlp"
  File "${SOURCE}\qtdb.exe"
  ; The starter table only on a first install: an upgrade keeps the user's taglines.
  ${IfNot} ${FileExists} "$INSTDIR\Quiptide.db"
    File "${SOURCE}\Quiptide.db"
    File "${SOURCE}\Quiptide.px"
    File "${SOURCE}\Quiptide.qix"
  ${EndIf}
  ; The spell-check control registers itself for this user, from this folder.
  RegDLL "$INSTDIR\VSPELL32.DLL"
  CreateShortcut "$SMPROGRAMS\Quiptide.lnk" "$INSTDIR\QUIPTIDE.EXE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quiptide"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brindlex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QUIPTIDE.EXE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${WEBSITE}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Quiptide when I sign in" SecStartup
SectionEnd

Function .onInit
  ; An upgrade keeps the choice made at the first install.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Quiptide"
  ${If} $0 != ""
    !insertmacro SelectSection ${SecStartup}
  ${EndIf}
FunctionEnd

; Written or taken away as the box says, so that unticking it on an upgrade undoes it.
Section "-Sign-in entry"
  ${If} ${SectionIsSelected} ${SecStartup}
    WriteRegStr HKCU "${RUN_KEY}" "Quiptide" '"$INSTDIR\QUIPTIDE.EXE"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Quiptide"
  ${EndIf}
  ; A silent upgrade leaves the user's rotation as it found it.
  ${If} ${Silent}
  ${AndIf} $WasRunning == "1"
    Exec '"$INSTDIR\QUIPTIDE.EXE"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its table engine and table repair utility, the spell checker with its dictionary, the help, qtdb and, on a first install, a starter table of taglines."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "Starts Quiptide each time you sign in to Windows, so your signature keeps changing."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "un.Quiptide" UnSecProgram
  SectionIn RO
  !insertmacro CLOSE_OR_ABORT "un." "remove it"
  UnRegDLL "$INSTDIR\VSPELL32.DLL"
  Delete "$INSTDIR\VSPELL32.DLL"
  Delete "$INSTDIR\QUIPTIDE.EXE"
  Delete "$INSTDIR\IDAPI32.DLL"
  Delete "$INSTDIR\TUTIL32.DLL"
  Delete "$INSTDIR\qtdb.exe"
  Delete "$INSTDIR\Quiptide.hlp"
  Delete "$INSTDIR\vspeller.hlp"
  Delete "$INSTDIR\american.vtd"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Quiptide.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Quiptide"
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
  RMDir "$INSTDIR"
  ; Quiptide's settings and its spell checker's word list and options; the maker's key
  ; only when nothing else of the maker's is left in it.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  SetShellVarContext current
  Delete "$APPDATA\Quiptide\UserWords.txt"
  Delete "$APPDATA\Quiptide\SpellOptions.txt"
  RMDir "$APPDATA\Quiptide"
SectionEnd

Function un.onInit
  ; `uninstall.exe /S /REMOVEDATA` takes the user's tables and settings as well.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecData}
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "The program and its files, its Start-menu entry and its entry in the list of installed programs."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "Also your tagline tables in the program folder, your signature side files, Quiptide's settings, and the spell checker's word list and options."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
