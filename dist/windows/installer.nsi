; The Vrelmont installer, made by scripts/package-windows.sh with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.10 -DSOURCE_DIR=<portable folder> -DOUT_FILE=<setup.exe>
;            -DICON_FILE=<vrelmont.ico> -DFILE_LIST=<install-files.nsh> -DREMOVE_LIST=<uninstall-files.nsh>
;            installer.nsi
; It installs the portable folder under Program Files with a Start-menu shortcut and an uninstaller.
; The uninstaller removes exactly what was installed: a user's Vrelmont.ini and protocols stay.
; A 64-bit installer for the 64-bit programs: it also runs where Wine has no 32-bit half.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define PRODUCT "Vrelmont"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vrelmont"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1029 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "FileDescription" "Instalace programu Vrelmont"
VIAddVersionKey /LANG=1029 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "LegalCopyright" "© vývojáři programu ${PRODUCT}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vrelmont.exe"
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENCE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"

Section "Vrelmont"
    SetShellVarContext all
    !include "${FILE_LIST}"
    WriteUninstaller "$INSTDIR\Odinstalovat.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vrelmont.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vrelmont.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Odinstalovat.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Odinstalovat.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !include "${REMOVE_LIST}"
    Delete "$INSTDIR\Odinstalovat.exe"
    ; Not recursive: a folder that still holds the user's files stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
