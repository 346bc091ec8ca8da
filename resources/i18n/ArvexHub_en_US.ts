<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>ArvexHubLauncher</name>
    <message>
        <source>Dark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must restart the application for it to take this change into account.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change the app&apos;s look. No need to restart.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Game Information Panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Displays detailed information about the selected Game.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask before removing a game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Games are only removed from disk, not from your account.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset to factory defaults.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process failed to start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process crashed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process timed out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An unknown error occurred to the game process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save To File…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playing:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No game playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The console log could not be saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>arvexhub::style::AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
