/* The "Import font file" dialog: its resource and control ids, shared by
   Glyver.rc and the code (plain defines, as the resource compiler reads them). */
#ifndef GLYVER_IMPORT_FONT_FILE_IDS_H
#define GLYVER_IMPORT_FONT_FILE_IDS_H

#define IDD_IMPORT_FONT_FILE 121
#define IDC_IMPORT_FILE_NAME 1210
#define IDC_IMPORT_CHARSET 1211
#define IDC_IMPORT_SIZE 1212
#define IDC_IMPORT_HEIGHT 1213
#define IDC_IMPORT_MONOSPACE 1214
#define IDC_IMPORT_INTO_CURRENT 1215
#define IDC_IMPORT_AS_NEW 1216
#define IDC_IMPORT_PREVIEW 1217
#define IDC_IMPORT_SUMMARY 1218

#endif
