@echo off
rem What an installation changes, from a script: snapshots of drive C: and of
rem the registry before and after it, then what changed as a report, a CSV
rem table and an HTML page, and a registry file that undoes its registry
rem changes. corvane-snap.exe and corvane-diff.exe are found in the PATH.
rem
rem   before-and-after.cmd OUTFOLDER INSTALLER [ARGUMENTS...]
rem
rem The output folder must not be on C:, or the snapshots record themselves.
setlocal
set out=%~1
set install=
:arguments
shift
if "%~1"=="" goto arguments_done
set install=%install% %1
goto arguments
:arguments_done

corvane-snap fs C: "%out%\C before.tvrec" --force > "%out%\C before.txt"
if errorlevel 1 goto failed
corvane-snap reg "%out%\Registry before.tvrec" --force > "%out%\Registry before.txt"
if errorlevel 1 goto failed

%install%
if errorlevel 1 echo The installer ended with exit code %errorlevel%. 1>&2

corvane-snap fs C: "%out%\C after.tvrec" --force > "%out%\C after.txt"
if errorlevel 1 goto failed
corvane-snap reg "%out%\Registry after.tvrec" --force > "%out%\Registry after.txt"
if errorlevel 1 goto failed

set fs="%out%\C before.tvrec" "%out%\C after.tvrec"
set reg="%out%\Registry before.tvrec" "%out%\Registry after.tvrec"
corvane-diff --noise %fs% > "%out%\files.txt"
if errorlevel 2 goto failed
corvane-diff --noise --format csv %fs% > "%out%\files.csv"
corvane-diff --noise --format html %fs% > "%out%\files.html"
corvane-diff --noise %reg% > "%out%\registry.txt"
if errorlevel 2 goto failed
corvane-diff --noise --format json %reg% > "%out%\registry.json"
corvane-diff --noise --format reg --reverse %reg% > "%out%\undo.reg"
if errorlevel 2 goto failed
echo What changed is in %out%: files.txt, files.csv, files.html, registry.txt, registry.json, undo.reg
exit /b 0

:failed
echo A snapshot or a comparison failed; see the message above. 1>&2
exit /b 1
