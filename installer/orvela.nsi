; Orvela's installer and uninstaller (NSIS 3, 64-bit Unicode stub).
; Built by scripts/make-installer.sh, which defines VERSION, STAGE (the folder with Orvela.exe
; and Help\), FILES and UNFILES (the help pictures, put in and taken out), ICON and OUTFILE.
; Saved as UTF-8 with a byte-order mark: makensis reads the full-width names correctly only so.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh

!define APP "Orvela"
!define MAKER "Ｖ＆Ｌ"
!define SETTINGS_KEY "Software\Ｖ＆Ｌ\Orvela"
!define MAKER_KEY "Software\Ｖ＆Ｌ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvela"
!define UNINSTALLER "uninstall.exe"

Name "${APP}"
Caption "${APP} ${VERSION} セットアップ"
UninstallCaption "${APP} ${VERSION} アンインストール"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${APP}"
VIAddVersionKey /LANG=1041 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${APP} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvela.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Orvela を起動する"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Help\Orvela.htm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "ヘルプを開く"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A running copy holds its files open and would write its Disabled Box after we are gone.
!macro RefuseWhileRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONEXCLAMATION "Orvela が実行中です。Orvela を終了してから、もう一度実行して下さい。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "Orvela" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/Orvela.exe"
  SetOutPath "$INSTDIR\Help"
  File "${STAGE}/Help/Orvela.htm"
  SetOutPath "$INSTDIR\Help\images"
  !include "${FILES}"
  SetOutPath "$INSTDIR"

  ; The Disabled Box and the backups live here: every user of the machine must be able to
  ; write them. The group is named by its SID, which every language of Windows knows.
  CreateDirectory "$INSTDIR\data"
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR\data" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0

  ; The program runs only where its settings key exists. A value written and taken back
  ; creates the key without touching what an earlier installation left in it.
  WriteRegStr HKCU "${SETTINGS_KEY}" "OrvelaSetup" ""
  DeleteRegValue HKCU "${SETTINGS_KEY}" "OrvelaSetup"

  CreateShortcut "$SMPROGRAMS\Orvela.lnk" "$INSTDIR\Orvela.exe" "" "$INSTDIR\Orvela.exe" 0 \
    SW_SHOWNORMAL "" "スタートアップと常駐の管理"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvela.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Kilobytes of what this section installs, not of whatever else the folder holds.
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

; Never with /r: a folder goes only when nothing is left in it.
Function un.RemoveEmptyDataFolders
  RMDir "$INSTDIR\data\kept\startup"
  RMDir "$INSTDIR\data\kept\sendto"
  RMDir "$INSTDIR\data\kept"
  RMDir "$INSTDIR\data\uninst"
  RMDir "$INSTDIR\data"
FunctionEnd

; Only what the installer made goes: the folder may have held other files before (/D=), so
; every file is named and folders are removed only when they are empty.
Section "Uninstall"
  Delete "$INSTDIR\Orvela.exe"
  Delete "$INSTDIR\Help\Orvela.htm"
  !include "${UNFILES}"
  RMDir "$INSTDIR\Help\images"
  RMDir "$INSTDIR\Help"
  Delete "$SMPROGRAMS\Orvela.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"

  ; Folders the program made and left empty go in any case.
  Call un.RemoveEmptyDataFolders
  ; The Disabled Box and the backups hold entries that exist nowhere else: they stay unless
  ; the user says otherwise, and always in a silent uninstall.
  IfFileExists "$INSTDIR\data\*.*" 0 data_done
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "無効 ボックスとバックアップ（$INSTDIR\data）も削除しますか？$\r$\n$\r$\n無効にした項目と削除したアンインストール情報は、ここにしか残っていません。「いいえ」を選ぶと残します。" \
    /SD IDNO IDNO data_done
  Delete "$INSTDIR\data\startup.txt"
  Delete "$INSTDIR\data\sendto.txt"
  Delete "$INSTDIR\data\startup.txt.unreadable*"
  Delete "$INSTDIR\data\sendto.txt.unreadable*"
  Delete "$INSTDIR\data\regdata.reg"
  Delete "$INSTDIR\data\windata.ini"
  Delete "$INSTDIR\data\*.new"
  Delete "$INSTDIR\data\uninst\*.reg"
  Delete "$INSTDIR\data\kept\startup\*.kept"
  Delete "$INSTDIR\data\kept\sendto\*.kept"
  Call un.RemoveEmptyDataFolders
  data_done:

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
