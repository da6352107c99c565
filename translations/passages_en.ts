<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Direction</name>
    <message>
        <location filename="../input/direction.h" line="13"/>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="15"/>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="17"/>
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="19"/>
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <location filename="../ui/form1.cpp" line="57"/>
        <source>Form1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="26"/>
        <source>Label1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="28"/>
        <source>Label2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="30"/>
        <source>Label4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="32"/>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="34"/>
        <source>Command1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="76"/>
        <source>Opens the settings: the squares across, the squares down and the pixels per square.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="113"/>
        <source>There is not enough memory for a canvas of %1 x %2 pixels. The settings, the canvas and the drawing are kept as they were.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="132"/>
        <source>The picture could not be saved.
This account has no home folder to save test.bmp in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="93"/>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <location filename="../ui/form2.cpp" line="27"/>
        <source>Form2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="43"/>
        <source>Square Size X:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="45"/>
        <source>Square Size Y:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="48"/>
        <source>Pixels Per Square:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="50"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/captions.h" line="52"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="92"/>
        <location filename="../ui/form2.cpp" line="94"/>
        <source>%1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureBox</name>
    <message>
        <location filename="../ui/picturebox.cpp" line="41"/>
        <source>Canvas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/picturebox.cpp" line="43"/>
        <source>The grid of squares. Drag across it with the left or the right mouse button to join the squares into a passage; the labels above show the square under the pointer. Command1 sets the grid&apos;s size.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Readouts</name>
    <message>
        <location filename="../input/readouts.cpp" line="7"/>
        <source>X:%1,Y:%2,ID:%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/readouts.cpp" line="14"/>
        <source>ID:%1, Data:%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveInProgress</name>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="25"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="27"/>
        <source>Saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="32"/>
        <source>Saving the picture to %1...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="46"/>
        <source>Waiting for the disk to store %1...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="87"/>
        <source>Stopping the save...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="109"/>
        <source>The save stopped on an unknown error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="136"/>
        <source>The picture could not be saved in the folder %1.
No new file can be made in that folder: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="140"/>
        <source>The picture could not be saved in the folder %1.
That folder does not let a file in it be replaced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="146"/>
        <source>The picture was saved to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="147"/>
        <source>The picture could not be saved to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="149"/>
        <source>The picture was saved to %1, where the link %2 leads.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="150"/>
        <source>The picture could not be saved to %1, where the link %2 leads.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="154"/>
        <source>
Cancel came too late: the new file had already replaced the earlier one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="157"/>
        <source>
The system could not confirm that it is stored on the disk: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="161"/>
        <source>
That path is not a regular file, so it is left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="163"/>
        <source>
The file is read-only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="165"/>
        <source>
The file is marked immutable, so it cannot be replaced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="167"/>
        <source>
The file is marked append-only: it can be added to, but not replaced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/saveinprogress.cpp" line="169"/>
        <source>
This account may not write to the file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../ui/main.cpp" line="46"/>
        <source>Draw connected passages on a grid of squares.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="162"/>
        <location filename="../ui/main.cpp" line="181"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="73"/>
        <source>Try &apos;passages --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="40"/>
        <source>Displays this help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="89"/>
        <source>The answer could not be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="214"/>
        <source>There is not enough memory to start the editor.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
