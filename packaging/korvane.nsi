; The Windows installer: the programs into Program Files\Korvane, shortcuts in
; the Start menu of all users, an uninstaller that Apps & features lists, and
; /S for a silent install or uninstall. 64-bit, as the programs are.
;   makensis -DVERSION=1.2 -DBIN=DIR -DICON=korvane.ico -DLICENSE=LICENSE
;            -DOUTFILE=setup.exe korvane.nsi
; Takes whichever of korvane.exe, korvane-batch.exe and korvane-view.exe DIR
; holds; a shortcut only for a window program that is there.
; scripts/package.sh runs it.

Unicode true
Target amd64-unicode
; bzip2: a quarter larger than LZMA, but made in a tenth of the time.
SetCompressor /SOLID bzip2

!include MUI2.nsh
!include FileFunc.nsh

!ifdef VERSION & BIN & ICON & LICENSE & OUTFILE
!else
  !error "korvane.nsi: define VERSION, BIN, ICON, LICENSE and OUTFILE (-DNAME=VALUE)"
!endif
!if /FileExists "${BIN}/korvane.exe"
  !define HAVE_KORVANE
!endif
!if /FileExists "${BIN}/korvane-batch.exe"
  !define HAVE_BATCH
!endif
!if /FileExists "${BIN}/korvane-view.exe"
  !define HAVE_VIEW
!endif
!ifdef HAVE_KORVANE | HAVE_BATCH | HAVE_VIEW
!else
  !error "korvane.nsi: ${BIN} holds none of korvane.exe, korvane-batch.exe, korvane-view.exe"
!endif

!define PUBLISHER "Korvane developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define MENU "$SMPROGRAMS\Korvane"

Name "Korvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Korvane"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true

!ifdef FILE_VERSION
  VIProductVersion "${FILE_VERSION}"
  VIAddVersionKey "ProductName" "Korvane"
  VIAddVersionKey "CompanyName" "${PUBLISHER}"
  VIAddVersionKey "FileDescription" "Korvane ${VERSION} setup"
  VIAddVersionKey "FileVersion" "${VERSION}"
  VIAddVersionKey "ProductVersion" "${VERSION}"
  VIAddVersionKey "LegalCopyright" "GNU General Public License 3 or later"
!endif

BrandingText "Korvane ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
; The GPL is shown, not agreed to: it sets no condition on running the program.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Korvane is free software under the GNU General Public License, version 3 or later. You need not accept it to use the program."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The uninstaller must find the shortcuts and the key where the installer put
; them: the 64-bit registry and the Start menu of all users, in both.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Korvane"
  SectionIn RO
  SetOutPath "$INSTDIR"
  !ifdef HAVE_KORVANE
    File "${BIN}/korvane.exe"
  !endif
  !ifdef HAVE_BATCH
    File "${BIN}/korvane-batch.exe"
  !endif
  !ifdef HAVE_VIEW
    File "${BIN}/korvane-view.exe"
  !endif
  File "/oname=korvane.ico" "${ICON}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The window writes its result into the folder it starts in: the user's
  ; own, not Program Files, which a user cannot write to.
  CreateDirectory "${MENU}"
  StrCpy $OUTDIR "%USERPROFILE%"
  !ifdef HAVE_KORVANE
    CreateShortcut "${MENU}\Korvane.lnk" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.ico" 0 \
      SW_SHOWNORMAL "" "Plate heat conduction calculator"
  !endif
  !ifdef HAVE_VIEW
    CreateShortcut "${MENU}\Korvane Viewer.lnk" "$INSTDIR\korvane-view.exe" "" "$INSTDIR\korvane.ico" 0 \
      SW_SHOWNORMAL "" "Plate heat conduction result viewer"
  !endif
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Korvane"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\korvane.ico"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Every file a version of this installer puts there, and nothing else: files
; the user left in the folder stay, and so does the folder then.
Section "Uninstall"
  Delete "$INSTDIR\korvane.exe"
  Delete "$INSTDIR\korvane-batch.exe"
  Delete "$INSTDIR\korvane-view.exe"
  Delete "$INSTDIR\korvane.ico"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${MENU}\Korvane.lnk"
  Delete "${MENU}\Korvane Viewer.lnk"
  RMDir "${MENU}"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
