; Pellix Demo 1.0: a small real installer for the demonstration run of
; scripts/run.sh. It installs four files (two in a subfolder) and its
; uninstaller below Program Files, writes values of every common type below
; HKLM\Software\Pellix\Demo and an entry in the list of installed programs.
; It creates no shortcuts and runs nothing; besides a temporary file of its
; own, which it deletes before it ends, it writes nothing else.
;   makensis -DOUTFILE=/path/to/pellix-demo-setup.exe [-DTARGET=amd64-unicode] pellix-demo.nsi
; Install: pellix-demo-setup.exe /S
; Uninstall in place (waits until done): uninstall.exe /S _?=INSTALLDIR

Unicode true
; TARGET=amd64-unicode makes the 64-bit installer that the tests of a 64-bit
; build run.
!ifdef TARGET
  Target ${TARGET}
!endif
!ifndef OUTFILE
  !define OUTFILE "pellix-demo-setup.exe"
!endif
!define KEY "Software\Pellix\Demo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PellixDemo"

Name "Pellix Demo 1.0"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Pellix Demo"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage instfiles

Section "Pellix Demo"
  SetOutPath "$INSTDIR"
  File "payload\readme.txt"
  File "payload\demo.ini"
  SetOutPath "$INSTDIR\Samples"
  File "payload\Samples\first.txt"
  File "payload\Samples\second.txt"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; One value of each type.
  WriteRegStr HKLM "${KEY}" "" "Pellix Demo 1.0"
  WriteRegStr HKLM "${KEY}" "InstallDir" "$INSTDIR"
  WriteRegExpandStr HKLM "${KEY}" "Samples" "%ProgramFiles%\Pellix Demo\Samples"
  WriteRegDWORD HKLM "${KEY}" "Version" 0x00010000
  WriteRegBin HKLM "${KEY}" "Checksum" 5D41402ABC4B2A76B9719D911017C592
  ; "English", "Deutsch", as UTF-16LE strings, each ending in a zero, and the
  ; closing zero.
  WriteRegMultiStr /REGEDIT5 HKLM "${KEY}" "Languages" \
    45,00,6e,00,67,00,6c,00,69,00,73,00,68,00,00,00,44,00,65,00,75,00,74,00,73,00,63,00,68,00,00,00,00,00
  WriteRegStr HKLM "${KEY}\Samples" "First" "first.txt"
  WriteRegStr HKLM "${KEY}\Samples" "Second" "second.txt"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pellix Demo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pellix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Samples\first.txt"
  Delete "$INSTDIR\Samples\second.txt"
  RMDir "$INSTDIR\Samples"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\demo.ini"
  ; Fails while the uninstaller runs in place (_?=): the caller removes it then.
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${KEY}"
  DeleteRegKey /ifempty HKLM "Software\Pellix"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
