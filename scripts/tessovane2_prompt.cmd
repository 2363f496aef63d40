@echo off
rem Asks for the six run parameters of tessovane2 one line at a time and runs
rem it with them as six arguments, returning its exit status. Each answer is
rem the whole line, blanks included, so file names may contain blanks (the
rem program's own prompts read one word per answer).
rem
rem The tessovane2.exe next to this script is run first, else the one on PATH.
setlocal EnableExtensions DisableDelayedExpansion

if not [%1]==[] (
  >&2 echo usage: tessovane2_prompt
  >&2 echo    asks for the 1st and 2nd file, the output name, the shift tolerance
  >&2 echo    ^(meters^), the SSN length ^(3,4,5^) and the match type ^(S,s,P,p^),
  >&2 echo    one answer per line, then runs tessovane2 with them
  exit /b 1
)

set "program=%~dp0tessovane2.exe"
if not exist "%program%" (
  set "program="
  for %%p in (tessovane2.exe) do set "program=%%~$PATH:p"
)
if not defined program (
  >&2 echo tessovane2_prompt: tessovane2 is neither next to this script nor on PATH
  exit /b 127
)

rem set /p shows the prompt without a line end and reads one whole line; at
rem the end of input it leaves the answer as it was: empty. A double quote
rem cannot be part of a Windows file name: it is dropped from every answer,
rem so that no answer ends the quoting of the command below.
set "first="
set "second="
set "output="
set "tolerance="
set "ssnLength="
set "matchType="
set /p "first=Enter 1st Quillane filename: "
set /p "second=Enter 2nd Quillane filename: "
set /p "output=Enter the output filename:   "
set /p "tolerance=Enter the maximum shift tolerance (meters):   "
set /p "ssnLength=Enter the SSN length in the 2nd file (3,4,5): "
set /p "matchType=Enter the match type, SSN or PID (S,s,P,p):   "
if defined first set "first=%first:"=%"
if defined second set "second=%second:"=%"
if defined output set "output=%output:"=%"
if defined tolerance set "tolerance=%tolerance:"=%"
if defined ssnLength set "ssnLength=%ssnLength:"=%"
if defined matchType set "matchType=%matchType:"=%"
echo.

rem Each answer is expanded inside its quotes: blanks, & ^ %% and ! stay as typed.
"%program%" "%first%" "%second%" "%output%" "%tolerance%" "%ssnLength%" "%matchType%"
exit /b %errorlevel%
