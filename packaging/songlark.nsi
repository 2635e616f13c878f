; Per-user installer of Songlark, built by scripts/dist.sh:
;   makensis -DVERSION=2.25 -DARCH=win64 -DEXE=/abs/songlark.exe \
;            -DREADME=/abs/README.txt -DOUTFILE=/abs/setup.exe packaging/songlark.nsi
; Installs into the user's own programs folder, which the user can write to,
; so the Lyrics folder beside songlark.exe works. Needs no administrator.
; The uninstaller removes the program and its Start-menu entry and leaves the
; user's Lyrics folder (and the settings in the registry) alone.

!ifndef VERSION | ARCH | EXE | README | OUTFILE
  !error "define VERSION, ARCH (win32 or win64), EXE, README and OUTFILE"
!endif

Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!else if "${ARCH}" == "win32"
  Target x86-unicode
!else
  !error "ARCH must be win32 or win64"
!endif

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Songlark"

Name "Songlark ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Songlark"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
Icon "${__FILEDIR__}/../res/songlark.ico"
UninstallIcon "${__FILEDIR__}/../res/songlark.ico"
UninstallText "This removes Songlark and its Start-menu entry. Your lyrics stay in the Lyrics folder of $INSTDIR."

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Songlark"
VIAddVersionKey /LANG=1033 "CompanyName" "Hollowfen"
VIAddVersionKey /LANG=1033 "FileDescription" "Songlark ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Hollowfen"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ; The per-user folders and Start menu, even when started elevated.
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Songlark"
  Call WaitUntilClosed
  SetOutPath "$INSTDIR"
  File "/oname=songlark.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Songlark.lnk" "$INSTDIR\songlark.exe" "" "$INSTDIR\songlark.exe" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Songlark"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Hollowfen"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\songlark.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; The main window is a dialog captioned "Peerpal"; while it exists (shown or
; hidden in the tray) its exe cannot be removed.
!macro WaitUntilClosed un
Function ${un}WaitUntilClosed
  retry:
    FindWindow $0 "#32770" "Peerpal"
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Songlark is running. Close it (tray menu: Exit), then click Retry." /SD IDCANCEL IDRETRY retry
    Abort "Songlark is running."
  done:
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Section "Uninstall"
  Call un.WaitUntilClosed
  Delete "$INSTDIR\songlark.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Songlark.lnk"
  DeleteRegKey HKCU "${UNINST_KEY}"
  ; Only when empty: a Lyrics folder keeps the install folder in place.
  RMDir "$INSTDIR"
SectionEnd
