// store.cpp -- storage of the practice text store; it has no operations.
#include "text/store.h"

char* line_table[LINE_TABLE_SIZE];
char* line_note[LINE_TABLE_SIZE];
int line_count = LINE_COUNT_AT_START;
char line_pool[LINE_POOL_SIZE];
char trailer_text[TRAILER_TEXT_SIZE + 1];
char lesson_path[LESSON_PATH_SIZE] = "lessons\\基本指練習.txt";
char text_buffer[TEXT_BUFFER_SIZE];
char empty_note[1];
