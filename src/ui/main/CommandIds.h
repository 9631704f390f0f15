// Identifiers of the main window: its dialog template, its icon, the context menu template and
// every command id that menu sends. One header for the resource script (so only preprocessor
// definitions here), the window code that handles the commands and the portable menu rules.
#pragma once

// Templates and artwork.
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDR_CONTEXT_MENU 129

// "プロファイル" submenu and the profile list inserted into it at run time.
#define ID_PROFILE_SETTINGS 32777
#define ID_PROFILE_FIRST 50000
#define ID_PROFILE_LAST 50099

// "フィルタグラフ" submenu: a greyed placeholder, replaced by the graph's filters at run time.
#define ID_FILTERGRAPH_NONE 32951
#define ID_FILTER_FIRST 50100
#define ID_FILTER_LAST 50199

// Playback.
#define ID_PLAY 32846
#define ID_STOP 32847
#define ID_REBUILD 32848

// Zoom: the direct 100% item and the "映像拡大率" submenu.
#define ID_ZOOM_RESET 33046
#define ID_ZOOM_50 33032
#define ID_ZOOM_75 33034
#define ID_ZOOM_100 33035
#define ID_ZOOM_125 33036
#define ID_ZOOM_150 33037
#define ID_ZOOM_175 33038
#define ID_ZOOM_200 33039
#define ID_ZOOM_225 33040
#define ID_ZOOM_250 33041
#define ID_ZOOM_275 33042
#define ID_ZOOM_300 33043

// Fixed client sizes, 4:3.
#define ID_SIZE_320X240 33047
#define ID_SIZE_480X360 33048
#define ID_SIZE_640X480 33049
#define ID_SIZE_800X600 33050
#define ID_SIZE_960X720 33051
#define ID_SIZE_1024X768 33052
#define ID_SIZE_1280X960 33053
#define ID_SIZE_1440X1080 33054
#define ID_SIZE_1600X1200 33055
#define ID_SIZE_1920X1440 33066

// Fixed client sizes, 16:9.
#define ID_SIZE_320X180 33067
#define ID_SIZE_480X270 33056
#define ID_SIZE_640X360 33057
#define ID_SIZE_800X450 33075
#define ID_SIZE_960X540 33059
#define ID_SIZE_1024X576 33060
#define ID_SIZE_1280X720 33061
#define ID_SIZE_1440X810 33062
#define ID_SIZE_1600X900 33063
#define ID_SIZE_1920X1080 33064

// "ウィンドウ設定" submenu.
#define ID_KEEP_ASPECT 32971
#define ID_SNAP 32891
#define ID_DRAG_MOVE 32892
#define ID_SCREENSAVER_STOP 32894
#define ID_MONITOR_POWER_OFF_STOP 32998
#define ID_SYSTEM_STANDBY_STOP 32996

// Window decoration.
#define ID_TITLE_BAR 32881
#define ID_FRAME 32882
#define ID_TOPMOST 32888

// Snapshots.
#define ID_SNAPSHOT 33071
#define ID_SNAPSHOT_OPEN_FOLDER 33072
#define ID_SNAPSHOT_SETTINGS 33073

// "*音量" submenu, 100% down to 0% in steps of 10.
#define ID_VOLUME_100 32984
#define ID_VOLUME_90 32985
#define ID_VOLUME_80 32986
#define ID_VOLUME_70 32987
#define ID_VOLUME_60 32988
#define ID_VOLUME_50 32989
#define ID_VOLUME_40 32990
#define ID_VOLUME_30 32991
#define ID_VOLUME_20 32992
#define ID_VOLUME_10 32993
#define ID_VOLUME_0 32994

// "*アスペクト比" submenu; 40:33 and 10:11 are handled but have no menu item.
#define ID_ASPECT_4_3 32930
#define ID_ASPECT_16_9 32931
#define ID_ASPECT_40_33 32941
#define ID_ASPECT_10_11 32942
#define ID_ASPECT_INPUT 32934
#define ID_ASPECT_FIT_WINDOW 32935

// Profile dialogs.
#define ID_CROPPING 33000
#define ID_VIDEO_PROC_AMP 32944

// The transform filter: on/off, deinterlacing, frame rate, field order, YC expansion, flip.
#define ID_TRANSFORM 33110
#define ID_DEINTERLACE_COPY 32799
#define ID_DEINTERLACE_SIMPLE 33094
#define ID_DEINTERLACE_LINEAR 32820
#define ID_DEINTERLACE_LINEAR_SHARP 33113
#define ID_DEINTERLACE_BLEND 33079
#define ID_DEINTERLACE_BLEND_SHARP 33095
#define ID_DEINTERLACE_HARDWARE 33115
#define ID_FPS_HALF 33096
#define ID_FPS_SAME 33097
#define ID_FPS_DOUBLE 33098
#define ID_FIELD_ORDER_TOP_FIRST 32876
#define ID_FIELD_ORDER_BOTTOM_FIRST 32877
#define ID_YC_EXPAND_NONE 32800
#define ID_YC_EXPAND_UYVY 32826
#define ID_YC_EXPAND_YUY2 32828
#define ID_FLIP_VERTICAL 33081

// Renderers.
#define ID_RENDERER_VMR7 32838
#define ID_RENDERER_VMR7_NO_OVERLAY 32948
#define ID_RENDERER_VMR9 32839
#define ID_RENDERER_EVR 32946
#define ID_AUDIO_RENDERER_DSOUND 32840
#define ID_AUDIO_RENDERER_WAVEOUT 32841

// "*実行優先度" submenu.
#define ID_PRIORITY_REALTIME 32868
#define ID_PRIORITY_HIGH 32869
#define ID_PRIORITY_ABOVE_NORMAL 32870
#define ID_PRIORITY_NORMAL 32871
#define ID_PRIORITY_BELOW_NORMAL 32872
#define ID_PRIORITY_IDLE 32873

// The greyed note explaining the "*" marks; it sends nothing.
#define ID_PROFILE_NOTE 32867

#define ID_VERSION 33002
#define ID_EXIT 32886

// Removed from the menu before it is shown; their handlers do nothing.
#define ID_DEBUG01 32773
#define ID_DEBUG02 32774
