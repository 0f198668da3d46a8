; Corvane's setup program.
;   makensis -DVERSION=2.0.0.1 -DSTAGE=/abs/stage -DOUTFILE=/abs/corvane-2.0.0.1-setup.exe corvane.nsi
; STAGE holds corvane.exe, corvane-diff.exe, corvane-snap.exe, corvane-capture.exe, README.html and LICENCE.txt.
;
; Setup: corvane-2.0.0.1-setup.exe [/S] [/PATH] [/D=folder]
;   /PATH chooses "Add the command-line tools to the PATH"; /D= must come last.
;   Returns when done: 0 installed (3: but with /PATH, the PATH could not be
;   changed: not text, or not writable), 1 cancelled, 2 refused, nothing changed:
;   Windows older than 7, or a folder Setup does not install into (see
;   InstallFolderProblem): one it cannot use (a drive's root, Windows' own, ...),
;   one that holds files of the names it writes that it did not write itself, or
;   another folder than the one Corvane is installed in already. A folder given
;   with /D= is never replaced by another. Interactive, the reason is shown: for
;   /D= before Setup ends, for the folder page when Next is pressed.
; Uninstall: "<folder>\uninstall.exe" [/S]
;   Returns when Corvane is gone: 0 removed, 1 cancelled, 2 stopped (a file in use
;   in a silent uninstall, the PATH that cannot be written, or a failure). On 0,
;   uninstall.exe itself, the then empty folder and the helper's copy in %TEMP% go
;   a moment later, when the cmd.exe started for them ends.
;
; What an installation keeps in its Uninstall key besides the usual values:
;   InstalledFiles  the names it wrote into InstallLocation ("|" between them);
;                   a key without it is of a release that wrote INSTALLED_FILES
;   AddedToPath     the entry it appended to the system PATH, when it did
; The uninstaller removes the Uninstall key, the Start menu's shortcut and that
; PATH entry only when they are its own installation's (the key's InstallLocation
; and the shortcut's folder are its folder), and of the PATH the one entry that
; names AddedToPath, the last one if the PATH holds it more than once.
; The PATH is read and written through the registry's own functions, into a
; buffer of its length: NSIS strings hold 1,024 characters, a PATH may hold more.
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

; What Setup writes into the installation folder, "|" between the names.
!define INSTALLED_FILES "corvane.exe|corvane-diff.exe|corvane-snap.exe|corvane-capture.exe|README.html|LICENCE.txt|uninstall.exe"

; The system PATH while it is changed: the open key, its text (a buffer of its
; own, whatever its length), the text's length in characters and its type
; (REG_SZ 1 or REG_EXPAND_SZ 2); PathFind's finding: the first character of the
; entry and the character after it (the separator or the closing zero), or 0.
Var PathKey
Var PathData
Var PathChars
Var PathType
Var PathAt
Var PathAtEnd

!macro PATH_FUNCTIONS un
  ; Opens the system PATH as stored (not expanded) for changing, the error flag
  ; when it cannot be: the key does not open for writing, or the value is no text.
  ; A PATH not there yet is an empty one. Each PathOpen takes its PathClose.
  Function ${un}PathOpen
    Push $0
    Push $1
    Push $2
    Push $3
    ClearErrors
    StrCpy $PathKey 0
    StrCpy $PathData 0
    StrCpy $PathChars 0
    ; HKEY_LOCAL_MACHINE; KEY_QUERY_VALUE | KEY_SET_VALUE
    System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "${ENV_KEY}", i 0, i 3, *p 0 r1) i .r0'
    ${If} $0 = 0
      StrCpy $PathKey $1
      ; The size, then the text into a buffer of that size, again when it grew
      ; in between.
      ${Do}
        System::Call 'advapi32::RegQueryValueExW(p $PathKey, w "Path", p 0, *i 0 r2, p 0, *i 0 r1) i .r0'
        ${If} $0 = 2
          StrCpy $0 0
          StrCpy $1 0
          StrCpy $2 2
        ${EndIf}
        ${If} $0 <> 0
          ${Break}
        ${EndIf}
        StrCpy $3 $1
        ; Room for a closing zero the data may lack.
        IntOp $1 $1 + 4
        System::Alloc $1
        Pop $PathData
        System::Call '*$PathData(i 0)'
        ${If} $3 = 0
          ${Break}
        ${EndIf}
        System::Call 'advapi32::RegQueryValueExW(p $PathKey, w "Path", p 0, *i 0 r2, p $PathData, *i r3 r3) i .r0'
        ${If} $0 <> 234
          ${Break}
        ${EndIf}
        ; ERROR_MORE_DATA
        System::Free $PathData
        StrCpy $PathData 0
      ${Loop}
      ${If} $0 = 0
      ${AndIf} $2 >= 1
      ${AndIf} $2 <= 2
        StrCpy $PathType $2
        IntPtrOp $1 $PathData + $3
        System::Call '*$1(i 0)'
        System::Call 'kernel32::lstrlenW(p $PathData) i .r0'
        StrCpy $PathChars $0
      ${Else}
        SetErrors
      ${EndIf}
    ${Else}
      SetErrors
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd

  Function ${un}PathClose
    ${If} $PathData P<> 0
      System::Free $PathData
    ${EndIf}
    ${If} $PathKey P<> 0
      System::Call 'advapi32::RegCloseKey(p $PathKey) i'
    ${EndIf}
    StrCpy $PathData 0
    StrCpy $PathKey 0
  FunctionEnd

  ; Finds the last entry of the open PATH that names the folder on the stack,
  ; whatever the case, with or without a trailing backslash: PathAt, PathAtEnd
  ; (PathAt 0: none).
  Function ${un}PathFind
    Exch $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    StrCpy $1 $0 1 -1
    ${If} $1 == "\"
      StrCpy $0 $0 -1
    ${EndIf}
    StrLen $6 $0
    StrCpy $PathAt 0
    StrCpy $PathAtEnd 0
    IntOp $5 $PathChars * 2
    IntPtrOp $5 $PathData + $5
    ; $1: an entry's first character, $2 the character after it.
    StrCpy $1 $PathData
    ${Do}
      System::Call 'shlwapi::StrChrW(p r1, i 59) p .r2'
      ${If} $2 P= 0
        StrCpy $2 $5
      ${EndIf}
      IntPtrOp $3 $2 - $1
      IntOp $3 $3 / 2
      ${If} $3 > 0
        IntPtrOp $4 $2 - 2
        System::Call '*$4(&i2 .r4)'
        ${If} $4 = 92
          IntOp $3 $3 - 1
        ${EndIf}
      ${EndIf}
      ${If} $3 = $6
      ${AndIf} $6 > 0
        ; CSTR_EQUAL, ignoring case
        System::Call 'kernel32::CompareStringOrdinal(p r1, i r3, w r0, i r6, i 1) i .r4'
        ${If} $4 = 2
          StrCpy $PathAt $1
          StrCpy $PathAtEnd $2
        ${EndIf}
      ${EndIf}
      ${If} $2 P>= $5
        ${Break}
      ${EndIf}
      IntPtrOp $1 $2 + 2
    ${Loop}
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd

  ; Writes the open PATH back with its type, and tells the programs running
  ; that the environment changed; the error flag when it cannot be written.
  Function ${un}PathWrite
    Push $0
    Push $1
    ClearErrors
    IntOp $1 $PathChars + 1
    IntOp $1 $1 * 2
    System::Call 'advapi32::RegSetValueExW(p $PathKey, w "Path", i 0, i $PathType, p $PathData, i r1) i .r0'
    ${If} $0 <> 0
      SetErrors
    ${Else}
      SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
    ${EndIf}
    Pop $1
    Pop $0
  FunctionEnd
!macroend

!macro FOLDER_FUNCTIONS un
  ; Of the folder named on the stack: its volume and file index, which every
  ; name of that folder shares (whatever its case, short or long form, trailing
  ; backslash); "" when it cannot be opened.
  Function ${un}FolderIdentity
    Exch $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    ; FILE_READ_ATTRIBUTES, shared with all, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS
    System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
    StrCpy $0 ""
    ${If} $1 P<> -1
      ; BY_HANDLE_FILE_INFORMATION, 13 DWORDs.
      System::Alloc 52
      Pop $2
      System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
      ${If} $3 <> 0
        System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
        StrCpy $0 "$3-$4-$5"
      ${EndIf}
      System::Free $2
      System::Call 'kernel32::CloseHandle(p r1) i'
    ${EndIf}
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd

  ; Whether the two folders on the stack are one: 1, else 0 (also when either
  ; is not there).
  Function ${un}SameFolder
    Exch $0
    Exch
    Exch $1
    Push $2
    Push $0
    Call ${un}FolderIdentity
    Pop $2
    Push $1
    Call ${un}FolderIdentity
    Pop $0
    ${If} $0 != ""
    ${AndIf} $0 == $2
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd
!macroend

!ifdef BUILD_UNINSTALLER
; ---------------------------------------------------------------- uninstall.exe

SilentInstall silent
!define MUI_UNABORTWARNING

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!insertmacro PATH_FUNCTIONS "un."
!insertmacro FOLDER_FUNCTIONS "un."

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

; Takes the entry PathFind found out of the open PATH, with the separator
; before it (after it, when it is the first): the PATH is then what it was
; before Setup appended ";FOLDER".
Function un.PathRemoveFound
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $0 $PathAt
  StrCpy $1 $PathAtEnd
  IntOp $2 $PathChars * 2
  IntPtrOp $2 $PathData + $2
  ${If} $0 P> $PathData
    IntPtrOp $0 $0 - 2
  ${ElseIf} $1 P< $2
    IntPtrOp $1 $1 + 2
  ${EndIf}
  ; What follows, the closing zero with it, moves up.
  IntPtrOp $3 $2 - $1
  IntOp $3 $3 + 2
  System::Call 'kernel32::RtlMoveMemory(p r0, p r1, p r3)'
  IntPtrOp $3 $1 - $0
  IntOp $3 $3 / 2
  IntOp $PathChars $PathChars - $3
  StrCpy $PathAt 0
  StrCpy $PathAtEnd 0
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Of the shortcut named on the stack: the folder of the program it starts, or ""
; when it cannot be read.
Function un.ShortcutFolder
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $4 ""
  ; COINIT_APARTMENTTHREADED; an interactive uninstall runs its section in a
  ; thread of its own.
  System::Call 'ole32::CoInitializeEx(p 0, i 2) i .r3'
  ; CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IShellLinkW
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, \
    g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r5'
  ${If} $5 = 0
    ; IPersistFile::Load (STGM_READ), then IShellLinkW::GetPath
    System::Call '$1->0(g "{0000010b-0000-0000-C000-000000000046}", *p .r2) i .r5'
    ${If} $5 = 0
      System::Call '$2->5(w r0, i 0) i .r5'
      ${If} $5 = 0
        System::Call '$1->3(w .r4, i ${NSIS_MAX_STRLEN}, p 0, i 0) i .r5'
        ${If} $5 <> 0
          StrCpy $4 ""
        ${EndIf}
      ${EndIf}
      System::Call '$2->2()'
    ${EndIf}
    System::Call '$1->2()'
  ${EndIf}
  ; S_OK or S_FALSE: this call's initialisation, to undo.
  ${If} $3 >= 0
    System::Call 'ole32::CoUninitialize()'
  ${EndIf}
  StrCpy $0 ""
  ${If} $4 != ""
    ${GetParent} $4 $0
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Stops the uninstall with the PATH left as it is, the entry in the list of
; installed programs kept to run it again.
!macro PATH_NOT_CHANGED entry
  Call un.PathClose
  DetailPrint "The system PATH could not be changed: ${entry} is still in it."
  MessageBox MB_OK|MB_ICONEXCLAMATION "The system PATH could not be changed, so Setup's entry is still in it:$\n\
    ${entry}$\n$\nRemove it by hand, or uninstall Corvane again." /SD IDOK
  Abort "Corvane was not removed completely."
!macroend

; Runs in the copy in %TEMP%, on the installation folder ("_?="). uninstall.exe
; and the folder itself are left to the helper: uninstall.exe is running.
; The entry in the list of installed programs, with the PATH entry it records,
; and the shortcut are removed when they are this installation's: another one,
; made by a release that installed a second copy elsewhere, keeps its own.
Section "Uninstall"
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $R1 0
  ${If} $R0 != ""
    Push $R0
    Push $INSTDIR
    Call un.SameFolder
    Pop $R1
  ${EndIf}
  StrCpy $R2 ""
  StrCpy $R3 0
  ${If} ${FileExists} "$SMPROGRAMS\Corvane.lnk"
    Push "$SMPROGRAMS\Corvane.lnk"
    Call un.ShortcutFolder
    Pop $R2
    Push $R2
    Push $INSTDIR
    Call un.SameFolder
    Pop $R3
  ${EndIf}

  !insertmacro REMOVE_FILE "corvane.exe"
  !insertmacro REMOVE_FILE "corvane-diff.exe"
  !insertmacro REMOVE_FILE "corvane-snap.exe"
  !insertmacro REMOVE_FILE "corvane-capture.exe"
  !insertmacro REMOVE_FILE "README.html"
  !insertmacro REMOVE_FILE "LICENCE.txt"

  ${If} $R3 = 1
    Delete "$SMPROGRAMS\Corvane.lnk"
  ${ElseIf} ${FileExists} "$SMPROGRAMS\Corvane.lnk"
    DetailPrint "Kept the shortcut $SMPROGRAMS\Corvane.lnk: it starts Corvane in $R2."
  ${EndIf}

  ${If} $R1 = 1
    ReadRegStr $R4 HKLM "${UNINSTALL_KEY}" "AddedToPath"
    ${If} $R4 != ""
      Call un.PathOpen
      ${If} ${Errors}
        !insertmacro PATH_NOT_CHANGED "$R4"
      ${EndIf}
      Push $R4
      Call un.PathFind
      ${If} $PathAt P<> 0
        Call un.PathRemoveFound
        Call un.PathWrite
        ${If} ${Errors}
          !insertmacro PATH_NOT_CHANGED "$R4"
        ${EndIf}
        DetailPrint "Removed $R4 from the system PATH."
      ${EndIf}
      Call un.PathClose
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${ElseIf} $R0 != ""
    DetailPrint "Kept the entry in the list of installed programs: it is that of Corvane in $R0."
  ${EndIf}
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
    !error "${STAGE}\${name} is missing: STAGE must hold corvane.exe, corvane-diff.exe, corvane-snap.exe, corvane-capture.exe, \
      README.html and LICENCE.txt"
  !endif
!macroend
!insertmacro REQUIRE_STAGED corvane.exe
!insertmacro REQUIRE_STAGED corvane-diff.exe
!insertmacro REQUIRE_STAGED corvane-snap.exe
!insertmacro REQUIRE_STAGED corvane-capture.exe
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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run" box: Corvane asks for elevation, and Setup should not start it.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

!insertmacro PATH_FUNCTIONS ""
!insertmacro FOLDER_FUNCTIONS ""

; The longest folder whose files all have names Windows opens without "\\?\":
; 259 characters with "\corvane-diff.exe".
!define MAX_FOLDER_CHARS 240

; Corvane as installed before, from its Uninstall key: the folder (while it still
; holds one of its files, else "": the key of an installation removed by hand,
; which the next one takes over), the names written there, the PATH entry added.
Var EarlierFolder
Var EarlierFiles
Var EarlierPathEntry
; InstallFolderProblem's answer.
Var FolderMessage

; $R8: names separated by "|". Takes the first one off into $R9 ("": none left).
Function NextName
  Push $0
  Push $1
  StrCpy $0 0
  ${Do}
    StrCpy $1 $R8 1 $0
    ${If} $1 == "|"
    ${OrIf} $1 == ""
      ${ExitDo}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
  StrCpy $R9 $R8 $0
  IntOp $0 $0 + 1
  StrCpy $R8 $R8 "" $0
  Pop $1
  Pop $0
FunctionEnd

Function EarlierInstallation
  Push $R8
  Push $R9
  ReadRegStr $EarlierFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $EarlierFiles HKLM "${UNINSTALL_KEY}" "InstalledFiles"
  ReadRegStr $EarlierPathEntry HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $EarlierFiles == ""
    ; Setup wrote these before it kept the list.
    StrCpy $EarlierFiles "${INSTALLED_FILES}"
  ${EndIf}
  StrCpy $R8 $EarlierFiles
  ${Do}
    Call NextName
    ${If} $R9 == ""
      StrCpy $EarlierFolder ""
      StrCpy $EarlierPathEntry ""
      ${ExitDo}
    ${EndIf}
    ${If} $EarlierFolder == ""
    ${OrIf} ${FileExists} "$EarlierFolder\$R9"
      ${ExitDo}
    ${EndIf}
  ${Loop}
  Pop $R9
  Pop $R8
FunctionEnd

; What makes the folder on the stack one Setup cannot use, in a few words, or "".
Function FolderProblem
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 ""
  StrCpy $1 $0 1 -1
  ${If} $1 == "\"
    StrCpy $0 $0 -1
  ${EndIf}
  StrLen $2 $0
  StrCpy $1 $0 1 1
  StrCpy $3 $0 4
  ${If} $0 == ""
    StrCpy $4 "no folder was given"
  ${ElseIf} $2 > ${MAX_FOLDER_CHARS}
    StrCpy $4 "its name is longer than ${MAX_FOLDER_CHARS} characters"
  ${ElseIf} $2 = 2
  ${AndIf} $1 == ":"
    StrCpy $4 "it is the root of a drive"
  ${ElseIf} $3 == "\\?\"
  ${OrIf} $3 == "\\.\"
    StrCpy $4 "it is not a full path such as C:\Tools\Corvane"
  ${Else}
    ; A plain full path is its own full path: not relative, no "." or "..",
    ; no "/", no trailing dot or space.
    System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
    StrCpy $3 $1 1 -1
    ${If} $3 == "\"
      StrCpy $1 $1 -1
    ${EndIf}
    ${GetRoot} $0 $3
    ${If} $2 = 0
    ${OrIf} $1 != $0
      StrCpy $4 "it is not a full path such as C:\Tools\Corvane"
    ${ElseIf} $3 == $0
      StrCpy $4 "it is the root of a network share"
    ${Else}
      StrCpy $1 $0 "" 2
      ; And ";", which would split its entry in the PATH.
      System::Call `shlwapi::StrPBrkW(w r1, w '<>"|?*:;$\t$\r$\n') p .r2`
      ${If} $2 P<> 0
        StrCpy $4 'it holds one of the characters < > " | ? * : ;'
      ${ElseIfNot} ${FileExists} "$3\*.*"
        StrCpy $4 "$3 is not there"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ; A file on the way.
  ${If} $4 == ""
    StrCpy $1 $0
    ${Do}
      ${If} ${FileExists} "$1"
        ${IfNot} ${FileExists} "$1\*.*"
          StrCpy $4 "$1 is a file"
        ${EndIf}
        ${ExitDo}
      ${EndIf}
      ${GetParent} $1 $1
      ${If} $1 == $3
      ${OrIf} $1 == ""
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
  ; The system's own folders.
  ${If} $4 == ""
    StrLen $2 "$WINDIR\"
    StrCpy $1 $0 $2
    ${GetParent} $PROFILE $2
    ${If} $0 == $WINDIR
    ${OrIf} $1 == "$WINDIR\"
      StrCpy $4 "it is a folder of Windows"
    ${ElseIf} $0 == $PROGRAMFILES
    ${OrIf} $0 == $PROGRAMFILES64
    ${OrIf} $0 == $COMMONFILES32
    ${OrIf} $0 == $COMMONFILES64
    ${OrIf} $0 == $APPDATA
    ${OrIf} $0 == $2
    ${OrIf} $0 == $PROFILE
      StrCpy $4 "it is one of the system's own folders, for the folders of programs, their data or users"
    ${EndIf}
  ${EndIf}
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether Setup may install into $INSTDIR: FolderMessage "" if so, else why not,
; for the user. Sets the Earlier... variables.
Function InstallFolderProblem
  Push $0
  Push $1
  Push $R8
  Push $R9
  StrCpy $FolderMessage ""
  Call EarlierInstallation
  Push $INSTDIR
  Call FolderProblem
  Pop $0
  ${If} $0 != ""
    StrCpy $FolderMessage "Setup cannot install Corvane into $INSTDIR: $0.$\n$\nChoose another folder."
  ${ElseIf} $EarlierFolder != ""
    Push $EarlierFolder
    Push $INSTDIR
    Call SameFolder
    Pop $0
    ${If} $0 = 0
      StrCpy $FolderMessage "Corvane is already installed in $EarlierFolder.$\n$\nInstall it into that folder \
        again, or uninstall it first to install it into another one."
    ${EndIf}
  ${Else}
    StrCpy $0 0
  ${EndIf}
  ; Files of the names Setup writes, there before it: only an earlier installation's own are replaced.
  ${If} $FolderMessage == ""
    StrCpy $R8 "${INSTALLED_FILES}"
    ${Do}
      Call NextName
      ${If} $R9 == ""
        ${ExitDo}
      ${EndIf}
      ${If} ${FileExists} "$INSTDIR\$R9"
        StrCpy $1 0
        ${If} $0 = 1
          System::Call 'shlwapi::StrStrIW(w "|$EarlierFiles|", w "|$R9|") p .r1'
        ${EndIf}
        ${If} $1 P= 0
          StrCpy $FolderMessage "$INSTDIR already holds $R9, which Setup did not write there.$\n$\n\
            Setup replaces no file of another program or of yours: choose another folder."
          ${ExitDo}
        ${EndIf}
      ${EndIf}
    ${Loop}
  ${EndIf}
  Pop $R9
  Pop $R8
  Pop $1
  Pop $0
FunctionEnd

Function DirectoryLeave
  Call InstallFolderProblem
  ${If} $FolderMessage != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$FolderMessage"
    Abort
  ${EndIf}
FunctionEnd

Section "Corvane" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\corvane.exe"
  File "${STAGE}\corvane-diff.exe"
  File "${STAGE}\corvane-snap.exe"
  File "${STAGE}\corvane-capture.exe"
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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstalledFiles" "${INSTALLED_FILES}"
  ; The folder's own files only: a subfolder is not ours.
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The PATH entry that the installation here before added stays recorded while
  ; the PATH holds it, so that the uninstaller removes it.
  StrCpy $0 ""
  ${If} $EarlierPathEntry != ""
    Call PathOpen
    ${IfNot} ${Errors}
      Push $EarlierPathEntry
      Call PathFind
      ${If} $PathAt P<> 0
        StrCpy $0 $EarlierPathEntry
      ${EndIf}
    ${EndIf}
    Call PathClose
  ${EndIf}
  ${If} $0 == ""
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${Else}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "AddedToPath" $0
  ${EndIf}
SectionEnd

Section /o "Add the command-line tools to the PATH" SecPath
  Call PathOpen
  ${If} ${Errors}
    Call PathClose
    Call PathByHand
    Return
  ${EndIf}
  Push $INSTDIR
  Call PathFind
  ${If} $PathAt P<> 0
    DetailPrint "The system PATH already holds $INSTDIR."
  ${Else}
    Push $INSTDIR
    Call PathAppend
    Call PathWrite
    ${If} ${Errors}
      Call PathByHand
    ${Else}
      WriteRegStr HKLM "${UNINSTALL_KEY}" "AddedToPath" $INSTDIR
      DetailPrint "Added $INSTDIR to the system PATH."
    ${EndIf}
  ${EndIf}
  Call PathClose
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Corvane, its command-line tools corvane-snap, corvane-diff and corvane-capture, \
    and a shortcut in the Start menu."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} "Lets a command prompt find corvane-snap, corvane-diff and corvane-capture \
    by name."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Appends ";" and the folder on the stack to the open PATH (the folder alone
; to an empty one); a separator even after a trailing one, so that taking the
; entry out again gives back the PATH as it was.
Function PathAppend
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 ";$0"
  ${If} $PathChars = 0
    StrCpy $4 $0
  ${EndIf}
  StrLen $1 $4
  IntOp $2 $PathChars + $1
  IntOp $2 $2 + 1
  IntOp $2 $2 * 2
  System::Alloc $2
  Pop $3
  IntOp $2 $PathChars * 2
  System::Call 'kernel32::RtlMoveMemory(p r3, p $PathData, p r2)'
  IntPtrOp $2 $3 + $2
  System::Call 'kernel32::lstrcpyW(p r2, w r4) p'
  System::Free $PathData
  StrCpy $PathData $3
  IntOp $PathChars $PathChars + $1
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Exit code 3: installed, the PATH left as it was.
Function PathByHand
  SetErrorLevel 3
  DetailPrint "The system PATH could not be changed, so it was left as it is."
  DetailPrint "Add $INSTDIR to it by hand to use corvane-snap and corvane-diff by name."
  MessageBox MB_OK|MB_ICONEXCLAMATION "The system PATH could not be changed, so Setup left it as it is.$\n$\n\
    To use corvane-snap and corvane-diff by name, add this folder to it by hand:$\n$INSTDIR" /SD IDOK
FunctionEnd

; The folder given with /D= into $0, as typed (Setup replaces one it finds
; wrong before .onInit runs), the error flag when none was. $R2: why it cannot
; be used when Setup would not take it for /D= at all, else "".
Function GivenFolder
  Push $1
  Push $2
  Push $3
  ClearErrors
  StrCpy $R2 ""
  System::Call 'kernel32::GetCommandLineW() w .r1'
  StrLen $3 $1
  StrCpy $2 0
  ${Do}
    ${If} $2 >= $3
      SetErrors
      ${ExitDo}
    ${EndIf}
    StrCpy $0 $1 4 $2
    ${If} $0 S== " /D="
    ${OrIf} $0 S== `"/D=`
      ${If} $0 S== `"/D=`
        StrCpy $R2 "/D= must be the last parameter, without quotes"
      ${EndIf}
      IntOp $2 $2 + 4
      StrCpy $0 $1 "" $2
      ${ExitDo}
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
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

  ; A folder given with /D= that Setup cannot use ends it, where the folder
  ; Setup itself chose in its place would go unnoticed.
  Call GivenFolder
  ${IfNot} ${Errors}
    ${If} $R2 == ""
      Push $0
      Call FolderProblem
      Pop $R2
    ${EndIf}
    StrCpy $R3 $0 1 -1
    StrCpy $R4 $0
    ${If} $R3 == "\"
      StrCpy $R4 $0 -1
    ${EndIf}
    StrCpy $R3 $INSTDIR 1 -1
    StrCpy $R5 $INSTDIR
    ${If} $R3 == "\"
      StrCpy $R5 $INSTDIR -1
    ${EndIf}
    ${If} $R2 == ""
    ${AndIf} $R4 != $R5
      StrCpy $R2 "Setup cannot use it as a folder"
    ${EndIf}
    ${If} $R2 != ""
      MessageBox MB_OK|MB_ICONSTOP "Setup cannot install Corvane into $0: $R2." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  ; The folder page checks the folder chosen there; a silent install has none.
  ${If} ${Silent}
    Call InstallFolderProblem
    ${If} $FolderMessage != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

!delfile "${UNINSTALLER_EXE}"
!endif
