<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>HostInput</name>
    <message>
        <source>no command is registered</source>
        <translation>등록된 명령이 없습니다</translation>
    </message>
    <message>
        <source>the command is already running</source>
        <translation>명령이 이미 실행 중입니다</translation>
    </message>
    <message>
        <source>not a point: type x,y or @dx,dy</source>
        <translation>점이 아닙니다: x,y 또는 @dx,dy를 입력하십시오</translation>
    </message>
    <message>
        <source>no point yet to be relative to: type x,y</source>
        <translation>상대 좌표의 기준점이 아직 없습니다: x,y를 입력하십시오</translation>
    </message>
    <message>
        <source>pick needs a running command</source>
        <translation>선택하려면 실행 중인 명령이 있어야 합니다</translation>
    </message>
    <message>
        <source>no pick is armed</source>
        <translation>선택을 기다리는 단계가 아닙니다</translation>
    </message>
    <message>
        <source>no pickable element within reach of %1</source>
        <translation>%1 근처에 선택할 수 있는 요소가 없습니다</translation>
    </message>
    <message>
        <source>nothing within reach of %1</source>
        <translation>%1 근처에 아무것도 없습니다</translation>
    </message>
    <message>
        <source>select needs a running command</source>
        <translation>선택하려면 실행 중인 명령이 있어야 합니다</translation>
    </message>
    <message>
        <source>no selection is armed</source>
        <translation>여러 형상 선택 단계가 아닙니다</translation>
    </message>
    <message>
        <source>%1 needs a running command</source>
        <translation>%1: 실행 중인 명령이 있어야 합니다</translation>
    </message>
</context>
<context>
    <name>HostWindow</name>
    <message>
        <source>Command:</source>
        <translation>명령:</translation>
    </message>
    <message>
        <source>Layers</source>
        <translation>레이어</translation>
    </message>
    <message>
        <source>the host refused: %1</source>
        <translation>호스트가 거부함: %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>파일(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>열기(&amp;O)...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>최근 파일 열기(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>저장(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>다른 이름으로 저장(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>끝내기(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>편집(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>실행 취소(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>다시 실행(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>보기(&amp;V)</translation>
    </message>
    <message>
        <source>Zoom to &amp;Fit</source>
        <translation>전체 보기(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>명령(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Insert</source>
        <translation>인서트(&amp;I)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>도구</translation>
    </message>
    <message>
        <source>Snaps</source>
        <translation>스냅</translation>
    </message>
    <message>
        <source>&amp;Snap</source>
        <translation>스냅(&amp;S)</translation>
    </message>
    <message>
        <source>Object &amp;Snap</source>
        <translation>객체 스냅(&amp;S)</translation>
    </message>
    <message>
        <source>Object snap on (F3)</source>
        <translation>객체 스냅 켜짐 (F3)</translation>
    </message>
    <message>
        <source>Object snap off (F3)</source>
        <translation>객체 스냅 꺼짐 (F3)</translation>
    </message>
    <message>
        <source>Endpoint</source>
        <translation>끝점</translation>
    </message>
    <message>
        <source>Midpoint</source>
        <translation>중간점</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>중심점</translation>
    </message>
    <message>
        <source>Quadrant</source>
        <translation>사분점</translation>
    </message>
    <message>
        <source>Intersection</source>
        <translation>교차점</translation>
    </message>
    <message>
        <source>Nearest</source>
        <translation>근처점</translation>
    </message>
    <message>
        <source>The command is already running; Escape leaves it</source>
        <translation>명령이 이미 실행 중입니다. Esc로 빠져나갑니다</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>알 수 없는 명령: %1</translation>
    </message>
    <message>
        <source>%1 selected</source>
        <translation>%1개 선택됨</translation>
    </message>
    <message>
        <source>Enter, space or right button: confirm</source>
        <translation>Enter, 스페이스 또는 오른쪽 버튼: 확정</translation>
    </message>
    <message>
        <source>Escape: leave the command</source>
        <translation>Esc: 명령 끝내기</translation>
    </message>
    <message>
        <source>Type insert, then Enter</source>
        <translation>insert 입력 후 Enter</translation>
    </message>
    <message>
        <source>Enter: %1 again</source>
        <translation>Enter: %1 다시 실행</translation>
    </message>
    <message>
        <source>Click or type the second point (@dx,dy from the first) · F3: snaps · %1</source>
        <translation>두 번째 점을 클릭하거나 입력 (첫 점에서 @dx,dy) · F3: 스냅 · %1</translation>
    </message>
    <message>
        <source>Click or type x,y · F3: snaps · %1 · %2</source>
        <translation>클릭하거나 x,y 입력 · F3: 스냅 · %1 · %2</translation>
    </message>
    <message>
        <source>Click a figure · %1 · %2</source>
        <translation>형상 클릭 · %1 · %2</translation>
    </message>
    <message>
        <source>Click or drag a window · %1 · %2</source>
        <translation>클릭하거나 창으로 끌어 선택 · %1 · %2</translation>
    </message>
    <message>
        <source>Enter, space or right button: done · Shift+click: take out · %1</source>
        <translation>Enter, 스페이스 또는 오른쪽 버튼: 선택 완료 · Shift+클릭: 선택 해제 · %1</translation>
    </message>
    <message>
        <source>Click a leader or a dimension to change it · %1 · %2</source>
        <translation>바꿀 지시선이나 치수 클릭 · %1 · %2</translation>
    </message>
    <message>
        <source>  (current)</source>
        <translation>  (현재)</translation>
    </message>
    <message>
        <source>untitled</source>
        <translation>제목 없음</translation>
    </message>
    <message>
        <source>%1[*] - velhost</source>
        <translation>%1[*] - velhost</translation>
    </message>
    <message>
        <source>Reading %1...</source>
        <translation>%1 읽는 중...</translation>
    </message>
    <message>
        <source>Opening %1 cancelled</source>
        <translation>%1 열기 취소됨</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>Writing %1...</source>
        <translation>%1 쓰는 중...</translation>
    </message>
    <message>
        <source>Saving cancelled: %1 is as it was</source>
        <translation>저장 취소됨: %1은(는) 그대로입니다</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Picture written to %1</source>
        <translation>그림을 %1에 썼습니다</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 저장됨</translation>
    </message>
    <message>
        <source>Open drawing</source>
        <translation>도면 열기</translation>
    </message>
    <message>
        <source>Drawings (*.dxf *.json);;DXF (*.dxf);;JSON (*.json)</source>
        <translation>도면 (*.dxf *.json);;DXF (*.dxf);;JSON (*.json)</translation>
    </message>
    <message>
        <source>DXF (*.dxf)</source>
        <translation>DXF (*.dxf)</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>SVG picture (*.svg)</source>
        <translation>SVG 그림 (*.svg)</translation>
    </message>
    <message>
        <source>Save drawing</source>
        <translation>도면 저장</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1이(가) 이미 있습니다.
바꾸시겠습니까?</translation>
    </message>
    <message>
        <source>Reading %1 %2.
Saving over the file loses what was left out.</source>
        <translation>%1 읽기: %2.
이 파일에 덮어쓰면 빠진 내용을 잃습니다.</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>덮어쓰기(&amp;O)</translation>
    </message>
    <message>
        <source>The drawing has changed. Save the changes?</source>
        <translation>도면이 바뀌었습니다. 바뀐 내용을 저장하시겠습니까?</translation>
    </message>
    <message>
        <source>Writing %1 cancelled: it is as it was</source>
        <translation>%1 쓰기 취소됨: 그대로입니다</translation>
    </message>
</context>
<context>
    <name>QProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
