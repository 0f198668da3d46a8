; Corvane's setup program.
;   makensis -DVERSION=2.0.0.1 -DSTAGE=/abs/stage -DOUTFILE=/abs/corvane-2.0.0.1-setup.exe corvane.nsi
; STAGE holds corvane.exe, corvane-diff.exe, corvane-snap.exe, README.html and LICENCE.txt.
;
; Setup: corvane-2.0.0.1-setup.exe [/S] [/PATH] [/D=folder]
;   /PATH chooses "Add the command-line tools to the PATH"; /D= must come last.
;   Returns when done: 0 installed, 1 cancelled, 2 refused (Windows older than 7).
; Uninstall: "<folder>\uninstall.exe" [/S]
;   Returns when Corvane is gone: 0 removed, 1 cancelled, 2 stopped (a file in use
;   in a silent uninstall, or a failure). On 0, uninstall.exe itself, the then empty
;   folder and the helper's copy in %TEMP% go a moment later, when the cmd.exe
;   started for them ends.
;
; How uninstall.exe works. An NSIS uninstaller started without "_?=" copies itself
; to %TEMP%, starts the copy, returns at once and leaves the copy and a deletion
; at the next restart (PendingFileRenameOperations) behind. So uninstall.exe is
; built from this script as a small installer of its own (BUILD_UNINSTALLER),
; which holds the uninstaller and
;   1. writes it into a new folder in %TEMP% that only administrators may change,
;      runs it there on the installation folder ("_?=") and waits for it;
;   2. after a successful uninstall, puts a copy of itself in that folder and
;      starts, hidden, cmd.exe with "start /wait" on the copy, then "del" and "rd";
;      then it ends;
;   3. the copy (/CLEANUP) waits until the first uninstall.exe has ended, deletes
;      it and removes the installation folder if it is empty; cmd.exe deletes the
;      copy and the folder in %TEMP% once the copy has ended.
; Every deletion waits on the end of the process whose file it deletes.

!ifndef VERSION
  !error "VERSION is not defined: makensis -DVERSION=a.b.c.d -DSTAGE=... -DOUTFILE=... corvane.nsi"
!endif
!ifndef STAGE
  !error "STAGE is not defined: -DSTAGE=/abs/folder, the folder that holds the files to install"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined: -DOUTFILE=/abs/corvane-${VERSION}-setup.exe, the program to write"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include WinMessages.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane"
!define ENV_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
; Tells the helper copy of uninstall.exe which folder to remove.
!define FOLDER_VARIABLE "CORVANE_UNINSTALL_FOLDER"

; Corvane's own picture on both programs and their pages.
!define MUI_ICON "${__FILEDIR__}\..\..\res\images\corvane.ico"
!define MUI_UNICON "${MUI_ICON}"

Name "Corvane"
Caption "Corvane ${VERSION} Setup"
UninstallCaption "Corvane ${VERSION} Uninstall"
BrandingText "Corvane ${VERSION}"
OutFile "${OUTFILE}"
; A 32-bit program: Program Files (x86) on 64-bit Windows.
InstallDir "$PROGRAMFILES\Corvane"
; A reinstall or an upgrade goes where the last one went and overwrites it.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Corvane"
VIAddVersionKey /LANG=1033 "CompanyName" "Pellix"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright Pellix"
!ifdef BUILD_UNINSTALLER
  VIAddVersionKey /LANG=1033 "FileDescription" "Corvane Uninstall"
!else
  VIAddVersionKey /LANG=1033 "FileDescription" "Corvane Setup"
!endif
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

; $R0: a list of folders separated by semicolons; $R1: a folder.
; Gives $R2, the list without the entries that name $R1 (whatever the case, with or
; without a trailing backslash), every other entry kept as it was and in its place,
; and $R3, the number of entries left out.
!macro PATH_WITHOUT un
  Function ${un}PathWithout
    Push $R4
    Push $R5
    Push $R6
    Push $R7
    Push $R8
    Push $R9
    StrCpy $R9 $R1
    StrCpy $R4 $R9 1 -1
    ${If} $R4 == "\"
      StrCpy $R9 $R9 -1
    ${EndIf}
    StrCpy $R2 ""
    StrCpy $R3 0
    StrCpy $R5 0
    StrCpy $R7 ""
    StrCpy $R8 0
    ${Do}
      StrCpy $R6 $R0 1 $R5
      ${If} $R6 == ";"
      ${OrIf} $R6 == ""
        StrCpy $R4 $R7 1 -1
        ${If} $R4 == "\"
          StrCpy $R4 $R7 -1
        ${Else}
          StrCpy $R4 $R7
        ${EndIf}
        ${If} $R4 == $R9
          IntOp $R3 $R3 + 1
        ${Else}
          ${If} $R8 > 0
            StrCpy $R2 "$R2;"
          ${EndIf}
          StrCpy $R2 "$R2$R7"
          IntOp $R8 $R8 + 1
        ${EndIf}
        ${If} $R6 == ""
          ${ExitDo}
        ${EndIf}
        StrCpy $R7 ""
      ${Else}
        StrCpy $R7 "$R7$R6"
      ${EndIf}
      IntOp $R5 $R5 + 1
    ${Loop}
    Pop $R9
    Pop $R8
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
  FunctionEnd
!macroend

; The system PATH as stored (ReadRegStr does not expand it) into $R0, and the
; error flag when it cannot be read whole: ReadRegStr fails on a value longer
; than its buffer, but cuts one that fills it exactly without a closing zero to
; NSIS_MAX_STRLEN - 1 characters, so a value that long may not be whole.
!macro READ_PATH un
  Function ${un}ReadPath
    Push $R4
    ClearErrors
    ReadRegStr $R0 HKLM "${ENV_KEY}" "Path"
    ${IfNot} ${Errors}
      StrLen $R4 $R0
      IntOp $R4 $R4 + 1
      ${If} $R4 >= ${NSIS_MAX_STRLEN}
        SetErrors
      ${EndIf}
    ${EndIf}
    Pop $R4
  FunctionEnd
!macroend

!ifdef BUILD_UNINSTALLER
; ---------------------------------------------------------------- uninstall.exe

SilentInstall silent
!define MUI_UNABORTWARNING

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!insertmacro PATH_WITHOUT "un."
!insertmacro READ_PATH "un."

Var Interactive

; Deletes one of our files from $INSTDIR. A file in use (Corvane still running)
; gets the chance of a retry; else the uninstall stops there, the entry in the
; list of installed programs and uninstall.exe still in place to run it again.
!macro REMOVE_FILE name
  ${Do}
    ClearErrors
    Delete "$INSTDIR\${name}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\${name} is in use and cannot be \
      removed.$\n$\nClose Corvane and click Retry, or click Cancel and uninstall it later." /SD IDCANCEL IDRETRY`
      DetailPrint "$INSTDIR\${name} is in use: close Corvane and uninstall it again."
      Abort "Corvane was not removed completely."
    ${EndIf}
  ${Loop}
!macroend

Function un.onInit
  SetShellVarContext all
FunctionEnd

; Runs in the copy in %TEMP%, on the installation folder ("_?="). uninstall.exe
; and the folder itself are left to the helper: uninstall.exe is running.
Section "Uninstall"
  !insertmacro REMOVE_FILE "corvane.exe"
  !insertmacro REMOVE_FILE "corvane-diff.exe"
  !insertmacro REMOVE_FILE "corvane-snap.exe"
  !insertmacro REMOVE_FILE "README.html"
  !insertmacro REMOVE_FILE "LICENCE.txt"
  Delete "$SMPROGRAMS\Corvane.lnk"

  Call un.ReadPath
  ${If} ${Errors}
    DetailPrint "The system PATH could not be read whole: remove $INSTDIR from it by hand if it is there."
    MessageBox MB_OK|MB_ICONEXCLAMATION "The system PATH could not be read whole, so it was left as it is.$\n$\n\
      If it holds this folder, remove it by hand:$\n$INSTDIR" /SD IDOK
  ${Else}
    StrCpy $R1 "$INSTDIR"
    Call un.PathWithout
    ${If} $R3 > 0
      ClearErrors
      WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$R2"
      ${If} ${Errors}
        DetailPrint "Could not write the system PATH: remove $INSTDIR from it by hand."
        MessageBox MB_OK|MB_ICONEXCLAMATION "The system PATH could not be written.$\n$\n\
          Remove this folder from it by hand:$\n$INSTDIR" /SD IDOK
      ${Else}
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
        DetailPrint "Removed $INSTDIR from the system PATH."
      ${EndIf}
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Function Fail
  Exch $R0
  ${If} $Interactive = 1
    MessageBox MB_OK|MB_ICONSTOP "$R0"
  ${EndIf}
  SetErrorLevel 2
  Quit
FunctionEnd
!define Fail "!insertmacro FAIL"
!macro FAIL text
  Push "${text}"
  Call Fail
!macroend

; Of the file open as the handle on the stack: volume, file index, time of the
; last write and size, which tell that file from one written in its place later.
Function FileIdentity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  ; BY_HANDLE_FILE_INFORMATION, 13 DWORDs.
  System::Alloc 52
  Pop $7
  System::Call 'kernel32::GetFileInformationByHandle(p r0, p r7) i .r1'
  ${If} $1 = 0
    StrCpy $0 ""
  ${Else}
    System::Call '*$7(i, i, i, i, i, i .r1, i .r2, i .r3, i, i .r4, i, i .r5, i .r6)'
    StrCpy $0 "$3-$5-$6-$2-$1-$4"
  ${EndIf}
  System::Free $7
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; /CLEANUP=<process id> /CREATED=<creation time> /FILE=<identity>: the helper
; copy. It waits until that process (the uninstall.exe that started it, if it is
; the same one) has ended, then deletes that uninstall.exe, unless a new one has
; been written in its place meanwhile, and removes the folder if it is empty.
Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CLEANUP=" $R1
  ${If} ${Errors}
    Return
  ${EndIf}
  ${GetOptions} $R0 "/CREATED=" $R2
  ${GetOptions} $R0 "/FILE=" $R8
  ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
  System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i R1) p .R3'
  ${If} $R3 P<> 0
    System::Call 'kernel32::GetProcessTimes(p R3, *l .R4, *l .R5, *l .R6, *l .R7) i'
    ; Another creation time: that one has ended and its id was given again.
    ${If} $R4 == $R2
      System::Call 'kernel32::WaitForSingleObject(p R3, i 60000) i'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R3) i'
  ${EndIf}
  ReadEnvStr $R4 "${FOLDER_VARIABLE}"
  ${If} $R4 == ""
    Quit
  ${EndIf}
  ; DELETE | FILE_READ_ATTRIBUTES, shared with no one: the file checked is the file
  ; deleted (FileDispositionInfo), when the handle is closed.
  System::Call 'kernel32::CreateFileW(w "$R4\uninstall.exe", i 0x10080, i 0, p 0, i 3, i 0, p 0) p .R3'
  ${If} $R3 P<> -1
    Push $R3
    Call FileIdentity
    Pop $R5
    ${If} $R5 == $R8
    ${AndIf} $R5 != ""
      System::Call 'kernel32::SetFileInformationByHandle(p R3, i 4, *i 1, i 4) i'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R3) i'
  ${EndIf}
  RMDir "$R4"
  Quit
FunctionEnd

Section
  StrCpy $Interactive 1
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/S" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == ""
    StrCpy $Interactive 0
  ${EndIf}

  ; A folder of our own in %TEMP%: SYSTEM and Administrators only, so that no
  ; program without elevation can swap the uninstaller before it runs elevated.
  GetTempFileName $R2
  Delete $R2
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(\
    w "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", i 1, *p .R3, p 0) i .R4'
  ${If} $R4 = 0
    ${Fail} "Could not prepare a folder for the uninstaller."
  ${EndIf}
  System::Call '*(i 12, p R3, i 0) p .R5'
  System::Call 'kernel32::CreateDirectoryW(w R2, p R5) i .R4'
  System::Free $R5
  System::Call 'kernel32::LocalFree(p R3) p'
  ${If} $R4 = 0
    ${Fail} "Could not create the folder $R2 for the uninstaller."
  ${EndIf}

  ClearErrors
  WriteUninstaller "$R2\uninstall.exe"
  ${If} ${Errors}
    RMDir $R2
    ${Fail} "Could not write the uninstaller into $R2."
  ${EndIf}
  StrCpy $R6 ""
  ${If} $Interactive = 0
    StrCpy $R6 " /S"
  ${EndIf}
  ClearErrors
  ExecWait '"$R2\uninstall.exe"$R6 _?=$EXEDIR' $R7
  ${If} ${Errors}
    Delete "$R2\uninstall.exe"
    RMDir $R2
    ${Fail} "Could not start the uninstaller $R2\uninstall.exe."
  ${EndIf}
  Delete "$R2\uninstall.exe"
  SetErrorLevel $R7
  ${If} $R7 <> 0
    RMDir $R2
    Return
  ${EndIf}

  ; The helper: a copy of this program, under a hidden cmd.exe that deletes it and
  ; its folder when it ends. Only names without spaces or signs reach cmd.exe: it
  ; runs in %TEMP% (not in the folder, which it could not remove then), and the
  ; installation folder goes through the environment.
  System::Call 'kernel32::CreateFileW(w "$EXEPATH", i 0x80, i 7, p 0, i 3, i 0, p 0) p .R3'
  StrCpy $R9 ""
  ${If} $R3 P<> -1
    Push $R3
    Call FileIdentity
    Pop $R9
    System::Call 'kernel32::CloseHandle(p R3) i'
  ${EndIf}
  System::Call 'kernel32::CopyFileW(w "$EXEPATH", w "$R2\corvane-cleanup.exe", i 1) i .R4'
  ${If} $R4 = 0
  ${OrIf} $R9 == ""
    Delete "$R2\corvane-cleanup.exe"
    RMDir $R2
    Return
  ${EndIf}
  System::Call 'kernel32::SetEnvironmentVariableW(w "${FOLDER_VARIABLE}", w "$EXEDIR") i'
  System::Call 'kernel32::GetCurrentProcessId() i .R8'
  System::Call 'kernel32::GetProcessTimes(p -1, *l .R1, *l .R3, *l .R4, *l .R5) i'
  ${GetFileName} $R2 $R5
  ${GetParent} $R2 $R6
  StrCpy $R0 `"$SYSDIR\cmd.exe" /d /c start "" /wait .\$R5\corvane-cleanup.exe /CLEANUP=$R8 /CREATED=$R1 /FILE=$R9\
    & del /f .\$R5\corvane-cleanup.exe & rd $R5`
  ; STARTUPINFOW (68 bytes) and PROCESS_INFORMATION; CREATE_NO_WINDOW.
  System::Call '*(i 68, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0) p .R3'
  System::Call '*(i 0, i 0, i 0, i 0) p .R4'
  System::Call 'kernel32::CreateProcessW(p 0, w R0, p 0, p 0, i 0, i 0x08000000, p 0, w R6, p R3, p R4) i .R1'
  ${If} $R1 <> 0
    System::Call '*$R4(p .R5, p .R6)'
    System::Call 'kernel32::CloseHandle(p R5) i'
    System::Call 'kernel32::CloseHandle(p R6) i'
  ${Else}
    Delete "$R2\corvane-cleanup.exe"
    RMDir $R2
  ${EndIf}
  System::Free $R3
  System::Free $R4
SectionEnd

!else
; ---------------------------------------------------------------- setup

!macro REQUIRE_STAGED name
  !if ! /FileExists "${STAGE}\${name}"
    !error "${STAGE}\${name} is missing: STAGE must hold corvane.exe, corvane-diff.exe, corvane-snap.exe, \
      README.html and LICENCE.txt"
  !endif
!macroend
!insertmacro REQUIRE_STAGED corvane.exe
!insertmacro REQUIRE_STAGED corvane-diff.exe
!insertmacro REQUIRE_STAGED corvane-snap.exe
!insertmacro REQUIRE_STAGED README.html
!insertmacro REQUIRE_STAGED LICENCE.txt

; uninstall.exe, built from this script first. makensis works in the script's
; folder unless called with /NOCD.
!if /FileExists "${__FILE__}"
  !define THIS_SCRIPT "${__FILE__}"
!else
  !define THIS_SCRIPT "${__FILEDIR__}/${__FILE__}"
!endif
!tempfile UNINSTALLER_EXE
!makensis '-V2 "-DVERSION=${VERSION}" "-DSTAGE=${STAGE}" "-DOUTFILE=${UNINSTALLER_EXE}" -DBUILD_UNINSTALLER \
  "${THIS_SCRIPT}"' = 0

!define MUI_ABORTWARNING
; The description below the list leaves the list wide enough for the PATH section's name.
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENCE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run" box: Corvane asks for elevation, and Setup should not start it.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

!insertmacro PATH_WITHOUT ""
!insertmacro READ_PATH ""

Section "Corvane" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\corvane.exe"
  File "${STAGE}\corvane-diff.exe"
  File "${STAGE}\corvane-snap.exe"
  File "${STAGE}\README.html"
  File "${STAGE}\LICENCE.txt"
  ; With the time of writing: the helper of an uninstall still ending tells this
  ; uninstall.exe from the one it deletes by its time as well.
  SetDateSave off
  File "/oname=uninstall.exe" "${UNINSTALLER_EXE}"
  SetDateSave on

  CreateShortcut "$SMPROGRAMS\Corvane.lnk" "$INSTDIR\corvane.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Corvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pellix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvane.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.pellix.com/"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The folder's own files only: a subfolder is not ours.
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Add the command-line tools to the PATH" SecPath
  Call ReadPath
  ${If} ${Errors}
    Call PathByHand
    Return
  ${EndIf}
  StrCpy $R1 "$INSTDIR"
  Call PathWithout
  ${If} $R3 > 0
    DetailPrint "The system PATH already holds $INSTDIR."
    Return
  ${EndIf}
  ; A separator even after a trailing one: taking the entry out again then gives
  ; back the value as it was.
  StrCpy $R5 ";"
  ${If} $R0 == ""
    StrCpy $R5 ""
  ${EndIf}
  ; NSIS would cut a longer string short without a word.
  StrLen $R6 "$R0$R5"
  StrLen $R7 "$INSTDIR"
  IntOp $R6 $R6 + $R7
  ${If} $R6 >= ${NSIS_MAX_STRLEN}
    Call PathByHand
    Return
  ${EndIf}
  ClearErrors
  WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$R0$R5$INSTDIR"
  ${If} ${Errors}
    Call PathByHand
    Return
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  DetailPrint "Added $INSTDIR to the system PATH."
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Corvane, its command-line tools corvane-snap and corvane-diff, \
    and a shortcut in the Start menu."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} "Lets a command prompt find corvane-snap and corvane-diff \
    by name."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function PathByHand
  DetailPrint "The system PATH was left as it is: it could not be read whole or would grow too long."
  DetailPrint "Add $INSTDIR to it by hand to use corvane-snap and corvane-diff by name."
  MessageBox MB_OK|MB_ICONEXCLAMATION "The system PATH could not be read whole or would grow too long, \
    so Setup left it as it is.$\n$\nTo use corvane-snap and corvane-diff by name, add this folder to it \
    by hand:$\n$INSTDIR" /SD IDOK
FunctionEnd

Function .onInit
  ${IfNot} ${AtLeastWin7}
    MessageBox MB_OK|MB_ICONSTOP "Corvane needs Windows 7 or later." /SD IDOK
    Abort
  ${EndIf}
  SetShellVarContext all
  ; /PATH chooses the PATH section, for silent installs above all.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PATH" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == ""
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

!delfile "${UNINSTALLER_EXE}"
!endif
