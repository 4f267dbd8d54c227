; The Quillon installer (NSIS 3, Unicode, Korean).
;   makensis -DVERSION=x.y.z -DSOURCE=<portable folder> -DOUTFILE=<setup.exe> quillon.nsi
; SOURCE is the portable folder: the programs, Data\ and Quillon.pdf.
; analyzer-editor and control-panel are carried when they are in it.
;
; The programs and their start-up data go into the folder where the programs
; look for their manual. Everything the user makes (analyzers, screenshots,
; sounds, macro files) is left alone: an upgrade only replaces the files
; below, and the uninstaller removes only them.

; A 64-bit installer for the 64-bit programs (Unicode).
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef VERSION | SOURCE | OUTFILE
  !error "VERSION, SOURCE and OUTFILE must be defined"
!endif

!define PRODUCT "Quillon"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The programs open their manual in this folder.
InstallDir "C:\TessalyAuto\TessalyMacro Quillon"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1042 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1042 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "FileDescription" "${PRODUCT} 설치"
VIAddVersionKey /LANG=1042 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1042 "LegalCopyright" "${PRODUCT}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Quillon.pdf"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "설명서 보기"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

; One macro file extension opening in control-panel.
!macro Associate EXT PROGID DESCRIPTION
  WriteRegStr HKLM "Software\Classes\${EXT}" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "${DESCRIPTION}"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\control-panel.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\control-panel.exe" "%1"'
!macroend

; Removes an extension's link only while it is still ours.
!macro Unassociate EXT PROGID
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  ${If} $0 == "${PROGID}"
    DeleteRegKey HKLM "Software\Classes\${EXT}"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
!macroend

!macro Shortcut NAME FILE
  !if /FileExists "${SOURCE}/${FILE}"
    CreateShortcut "${MENU_FOLDER}\${NAME}.lnk" "$INSTDIR\${FILE}"
  !endif
!macroend

Function .onInit
  SetRegView 64
FunctionEnd

Section "Quillon" SecMain
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${SOURCE}/analyzer-runner.exe"
  File "${SOURCE}/shot-taker.exe"
  File "${SOURCE}/manual-launcher.exe"
  !if /FileExists "${SOURCE}/analyzer-editor.exe"
    File "${SOURCE}/analyzer-editor.exe"
  !endif
  !if /FileExists "${SOURCE}/control-panel.exe"
    File "${SOURCE}/control-panel.exe"
  !endif
  File "${SOURCE}/Quillon.pdf"
  SetOutPath "$INSTDIR\Data"
  File "${SOURCE}/Data/qltext.bin"
  File "${SOURCE}/Data/qlconf.bin"
  File "${SOURCE}/Data/qlname.bin"
  SetOutPath "$INSTDIR"

  CreateDirectory "${MENU_FOLDER}"
  !insertmacro Shortcut "분석기 실행" "analyzer-runner.exe"
  !insertmacro Shortcut "분석기 편집기" "analyzer-editor.exe"
  !insertmacro Shortcut "제어 프로그램" "control-panel.exe"
  !insertmacro Shortcut "화면 찍기" "shot-taker.exe"
  !insertmacro Shortcut "PDF 리더 안내" "manual-launcher.exe"
  CreateShortcut "${MENU_FOLDER}\Quillon 설명서.lnk" "$INSTDIR\Quillon.pdf"
  CreateShortcut "${MENU_FOLDER}\Quillon 제거.lnk" "$INSTDIR\${UNINSTALLER}"

  !if /FileExists "${SOURCE}/control-panel.exe"
    !insertmacro Associate ".eqn1" "Quillon.EditMacro" "Quillon 동작 편집 매크로"
    !insertmacro Associate ".cqn1" "Quillon.CombinationMacro" "Quillon 조합 매크로"
    !insertmacro Associate ".rqn1" "Quillon.RecordedMacro" "Quillon 녹화 매크로"
    !insertmacro Associate ".aut" "Quillon.AutoClick" "Quillon 자동클릭 설정"
    ; Explorer shows the new links at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  !endif

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\analyzer-runner.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; Only what the installer put here; the user's folders and files stay, and
  ; so does the folder itself while they are in it.
  Delete "$INSTDIR\analyzer-runner.exe"
  Delete "$INSTDIR\analyzer-editor.exe"
  Delete "$INSTDIR\control-panel.exe"
  Delete "$INSTDIR\shot-taker.exe"
  Delete "$INSTDIR\manual-launcher.exe"
  Delete "$INSTDIR\Quillon.pdf"
  Delete "$INSTDIR\Data\qltext.bin"
  Delete "$INSTDIR\Data\qlconf.bin"
  Delete "$INSTDIR\Data\qlname.bin"
  RMDir "$INSTDIR\Data"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ; The installer made the parent of the usual folder; it goes when empty.
  ${If} $INSTDIR == "C:\TessalyAuto\TessalyMacro Quillon"
    RMDir "C:\TessalyAuto"
  ${EndIf}

  Delete "${MENU_FOLDER}\분석기 실행.lnk"
  Delete "${MENU_FOLDER}\분석기 편집기.lnk"
  Delete "${MENU_FOLDER}\제어 프로그램.lnk"
  Delete "${MENU_FOLDER}\화면 찍기.lnk"
  Delete "${MENU_FOLDER}\PDF 리더 안내.lnk"
  Delete "${MENU_FOLDER}\Quillon 설명서.lnk"
  Delete "${MENU_FOLDER}\Quillon 제거.lnk"
  RMDir "${MENU_FOLDER}"

  !insertmacro Unassociate ".eqn1" "Quillon.EditMacro"
  !insertmacro Unassociate ".cqn1" "Quillon.CombinationMacro"
  !insertmacro Unassociate ".rqn1" "Quillon.RecordedMacro"
  !insertmacro Unassociate ".aut" "Quillon.AutoClick"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
